#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "model/image_pixels.h"

class IconDocument;

// What goes with a recovery copy: where the document belongs, the image the
// user was on, and each image's hotspot, which an icon file does not hold.
// A copy found without a readable record has the neutral values below.
struct RecoveryRecord
{
    std::wstring originalPath;      // empty for a document never saved
    int currentImage = 0;
    std::vector<Hotspot> hotspots;  // in image order; empty when not known
};

// The record of the document as it is now; false when memory runs out.
bool RecordOfDocument(const IconDocument& document, RecoveryRecord& record);
// The record's file: UTF-8 lines. False when memory runs out.
bool RecordText(const RecoveryRecord& record, std::string& text);
// False, with record untouched, unless the text is a whole record.
bool ParseRecord(const std::string& text, RecoveryRecord& record);
