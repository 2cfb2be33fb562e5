#pragma once
#include <windows.h>

#include "document/open_failure.h"
#include "model/icon_image.h"

// Reads the image record at offset into image, which changes only when the
// whole record was read. recordBytes is the byte count of the record's directory
// entry, 0 when unknown: other writers leave out part of the colour table or the
// padding of the mask, or the mask itself, and only that count tells.
OpenFailure ReadIconRecord(HANDLE file, DWORD offset, DWORD recordBytes, IconImage& image);
