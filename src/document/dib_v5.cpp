#include "document/dib_v5.h"

#include <cstring>
#include <new>

#include "document/icon_document.h"
#include "model/icon_image.h"

namespace {

const DWORD kRed = 0x00FF0000, kGreen = 0x0000FF00, kBlue = 0x000000FF, kAlpha = 0xFF000000;

// Whether the fourth byte of the DIB's pixels is alpha, by its header alone:
// one with an alpha mask (56 bytes or more) must name it. A plain header is not
// believed: the system makes CF_DIB from a bitmap with anything in that byte.
bool HeaderGivesAlpha(ByteSpan dib, const BITMAPINFOHEADER& header)
{
    DWORD masks[4] = {};
    if (header.biBitCount != 32 || header.biSize < sizeof(BITMAPINFOHEADER) + sizeof(masks)
        || !dib.CopyTo(sizeof(BITMAPINFOHEADER), masks, sizeof(masks)) || masks[3] != kAlpha)
        return false;
    return header.biCompression == BI_RGB
        || (header.biCompression == BI_BITFIELDS && masks[0] == kRed && masks[1] == kGreen && masks[2] == kBlue);
}

}  // namespace

bool BuildDibV5(const IconImage& image, const RECT& rect, std::vector<BYTE>& out)
{
    out.clear();
    const LONGLONG width = LONGLONG(rect.right) - rect.left, height = LONGLONG(rect.bottom) - rect.top;
    if (!image.IsValid() || image.GetBitCount() != 32 || width <= 0 || height <= 0 || width > 0x4000
        || height > 0x4000)
        return false;
    BITMAPV5HEADER header = {};
    header.bV5Size = sizeof(header);
    header.bV5Width = LONG(width);
    header.bV5Height = LONG(height);
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5SizeImage = DWORD(width * height * 4);
    header.bV5RedMask = kRed;
    header.bV5GreenMask = kGreen;
    header.bV5BlueMask = kBlue;
    header.bV5AlphaMask = kAlpha;
    header.bV5CSType = 0x73524742;   // LCS_sRGB, spelt out: the header's 'sRGB' is a multi-character constant
    header.bV5Intent = LCS_GM_IMAGES;
    try {
        out.assign(sizeof(header) + size_t(header.bV5SizeImage), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(out.data(), &header, sizeof(header));
    const int size = image.GetSize();
    const BYTE* bits = image.GetColourBits();
    for (LONGLONG y = 0; y < height; ++y) {
        const LONGLONG iy = rect.top + y;
        BYTE* row = out.data() + sizeof(header) + size_t(height - 1 - y) * size_t(width) * 4;
        for (LONGLONG x = 0; x < width; ++x) {
            const LONGLONG ix = rect.left + x;
            if (ix < 0 || iy < 0 || ix >= size || iy >= size || image.IsTransparent(int(ix), int(iy)))
                continue;
            std::memcpy(row + 4 * x, bits + size_t(size - 1 - iy) * size * 4 + size_t(ix) * 4, 4);
        }
    }
    return true;
}

bool SelectionAsDibV5(const IconDocument& document, std::vector<BYTE>& out)
{
    const IconImage* image = document.GetCurrentImage();
    out.clear();
    return image && document.HasSelection() && BuildDibV5(*image, document.GetSelection(), out);
}

bool ReadAlphaDib(ByteSpan dib, const BITMAPINFOHEADER& header, ULONGLONG pixelOffset, int width, int height,
                  ClipboardPicture* picture)
{
    if (!HeaderGivesAlpha(dib, header) || width <= 0 || height <= 0 || width > header.biWidth)
        return false;
    const bool topDown = header.biHeight < 0;
    const LONGLONG rows = topDown ? -LONGLONG(header.biHeight) : header.biHeight;
    const size_t stride = size_t(header.biWidth) * 4;
    if (height > rows || pixelOffset + ULONGLONG(stride) * ULONGLONG(rows) > dib.Size())
        return false;
    std::vector<DWORD> pixels;
    try {
        pixels.resize(size_t(width) * height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A fourth byte that is 0 everywhere was never alpha: the system's route reads it opaque.
    bool used = false;
    for (int y = 0; y < height; ++y) {
        const LONGLONG row = topDown ? y : rows - 1 - y;
        const BYTE* from = dib.At(size_t(pixelOffset + ULONGLONG(row) * stride), size_t(width) * 4);
        std::memcpy(&pixels[size_t(y) * width], from, size_t(width) * 4);
        for (int x = 0; x < width && !used; ++x)
            used = (pixels[size_t(y) * width + x] >> 24) != 0;
    }
    if (!used)
        return false;
    picture->width = width;
    picture->height = height;
    picture->hasAlpha = true;
    picture->pixels.swap(pixels);
    return true;
}
