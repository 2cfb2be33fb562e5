#pragma once
// PNG pictures imported as images, decoded by the system's imaging component.
#include "document/byte_span.h"
#include "document/icon_document.h"
#include "model/icon_image.h"

// Makes image a 32-bit image of the PNG picture in file, keeping its alpha: as
// it is when square of 16 to 256 pixels, fitted as fit allows otherwise (see
// PictureFit). A picture under 16 pixels on its longer side is refused by its
// size; image changes only on success (ImportFailureNone).
ImportFailure LoadPngPicture(ByteSpan file, PictureFit* fit, IconImage& image);
