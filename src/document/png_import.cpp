#include "document/png_import.h"

#include "model/bgra_pixels.h"
#include "model/image_pixels.h"
#include "model/resample.h"
#include "win/png_codec.h"

namespace {

// Logos come at 512 or 1024 pixels, a photograph at a few thousand; past this
// the decoded picture alone would take more than 64 MB of a 32-bit process.
const int kLargestPictureSide = 4096;
// Below the smallest size Windows looks for there is nothing to make an icon of.
const int kSmallestPictureSide = kWindowsIconSizes[0];
const int kLargestImageSide = 256;

DWORD BigEndian(const BYTE* at)
{
    return DWORD(at[0]) << 24 | DWORD(at[1]) << 16 | DWORD(at[2]) << 8 | at[3];
}

// The size the header chunk claims, read before the decoder so that a picture
// too large is told by its size rather than as damage.
bool ClaimsTooLarge(ByteSpan file)
{
    const BYTE* header = file.At(16, 8);
    return header && (BigEndian(header) > DWORD(kLargestPictureSide) || BigEndian(header + 4) > DWORD(kLargestPictureSide));
}

ImportFailure FailureOf(PngOutcome outcome)
{
    switch (outcome) {
    case PngOutcome::Done: return ImportFailureNone;
    case PngOutcome::NoCodec: return ImportFailureNoCodec;
    case PngOutcome::NoMemory: return ImportFailureOutOfMemory;
    default: return ImportFailureDamaged;
    }
}

}  // namespace

ImportFailure LoadPngPicture(ByteSpan file, PictureFit* fit, IconImage& image)
{
    if (ClaimsTooLarge(file))
        return ImportFailureSize;
    BgraPicture picture;
    const ImportFailure decoded = FailureOf(DecodePng(file.At(0, file.Size()), file.Size(), kLargestPictureSide, picture));
    if (decoded != ImportFailureNone)
        return decoded;
    const int longer = picture.width > picture.height ? picture.width : picture.height;
    if (longer < kSmallestPictureSide)
        return ImportFailureSize;
    const bool asItIs = picture.width == picture.height && longer <= kLargestImageSide;
    const int side = longer < kLargestImageSide ? longer : kLargestImageSide;
    if (fit) {
        fit->width = picture.width;
        fit->height = picture.height;
        fit->side = side;
        fit->fitted = FittedSize(picture.width, picture.height, kLargestImageSide);
    }
    if (!asItIs && !(fit && fit->allowed))
        return ImportFailureNeedsFit;
    std::vector<BYTE> square;
    ImagePixels pixels;
    if (asItIs)
        square.swap(picture.pixels);
    else if (!FitInSquare(picture.pixels.data(), picture.width, picture.height, kLargestImageSide, square))
        return ImportFailureOutOfMemory;
    if (!PixelsFromBgra(square, side, pixels) || !image.LoadPixels(pixels))
        return ImportFailureOutOfMemory;
    return ImportFailureNone;
}
