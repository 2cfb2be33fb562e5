#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "document/byte_span.h"
#include "document/icon_file_layout.h"
#include "document/image_storage.h"
#include "document/open_failure.h"
#include "model/icon_image.h"

// Reads the PNG record of an entry into image, a 32-bit image with alpha, and
// original receives the record and the pixels it gave. Damaged: bad CRC, cut
// short, a size other than the entry's (a side of 0 or above 256 included).
// PngImage: a sound record the editor keeps whole (not square, or the imaging
// component cannot be had or does not decode it). The image changes only when
// the whole record was read.
OpenFailure ReadPngRecord(ByteSpan file, const IconDirectoryEntry& entry, IconImage& image,
                          std::shared_ptr<const PngOriginal>& original);

enum class PngRecordOutcome { Done, NoCodec, NoMemory };

// The image encoded as a 32-bit RGBA PNG record. NoCodec: the imaging component
// cannot be had or did not encode it.
PngRecordOutcome EncodePngRecord(const IconImage& image, std::vector<BYTE>& record);
