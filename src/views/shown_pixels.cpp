#include "views/shown_pixels.h"

#include <vector>

#include "model/icon_image.h"
#include "views/pixel_buffer.h"
#include "win/compose_image.h"

namespace {

DWORD BufferPixel(int red, int green, int blue)
{
    return static_cast<DWORD>(red) << 16 | static_cast<DWORD>(green) << 8 | static_cast<DWORD>(blue);
}

int Mix(int colour, int background, int alpha)
{
    return (colour * alpha + background * (255 - alpha) + 127) / 255;
}

// One 32-bit pixel (blue, green, red, alpha) over an opaque background.
DWORD BlendOver(const BYTE* bgra, COLORREF background)
{
    const int alpha = bgra[3];
    if (alpha == 255)
        return BufferPixel(bgra[2], bgra[1], bgra[0]);
    return BufferPixel(Mix(bgra[2], GetRValue(background), alpha), Mix(bgra[1], GetGValue(background), alpha),
                       Mix(bgra[0], GetBValue(background), alpha));
}

void BlendRows(const IconImage& image, PixelBuffer& into)
{
    const int s = image.GetSize();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int stride = RowStride(s, 32);
    for (int y = 0; y < s; ++y) {
        // The image's rows are bottom-up, the buffer's top-down.
        const BYTE* colour = image.GetColourBits() + stride * (s - 1 - y);
        DWORD* out = into.Row(y);
        for (int x = 0; x < s; ++x)
            out[x] = BlendOver(colour + 4 * x, face);
    }
}

} // namespace

bool ShowsAlpha(const IconImage& image)
{
    if (image.GetBitCount() != 32)
        return false;
    const int s = image.GetSize();
    const BYTE* bytes = image.GetColourBits();
    for (int i = 3; i < 4 * s * s; i += 4)
        if (bytes[i])
            return true;
    return false;
}

bool ComposeOverFace(const IconImage& image, PixelBuffer& into)
{
    const int s = image.GetSize();
    GdiFlush();  // shapes drawn into the image by GDI reach its bytes
    if (ShowsAlpha(image)) {
        BlendRows(image, into);
        return true;
    }
    const RECT whole = { 0, 0, s, s };
    const MaskedPicture picture = { image.GetMaskBitmap(), image.GetColourBitmap() };
    const bool composed = ComposeImage(into.Context(), whole, picture, whole, GetSysColorBrush(COLOR_BTNFACE));
    GdiFlush();
    return composed;
}

void ZoomInto(const PixelBuffer& from, PixelBuffer& to)
{
    std::vector<int> column(static_cast<size_t>(to.Width()));
    for (int x = 0; x < to.Width(); ++x)
        column[x] = x * from.Width() / to.Width();
    for (int y = 0; y < to.Height(); ++y) {
        const DWORD* source = from.Row(y * from.Height() / to.Height());
        DWORD* out = to.Row(y);
        for (int x = 0; x < to.Width(); ++x)
            out[x] = source[column[x]];
    }
}

void ShrinkInto(const PixelBuffer& from, PixelBuffer& to, int factor)
{
    for (int y = 0; y < to.Height(); ++y)
        for (int x = 0; x < to.Width(); ++x) {
            int sum[3] = {}, n = 0;
            for (int sy = y * factor; sy < (y + 1) * factor && sy < from.Height(); ++sy)
                for (int sx = x * factor; sx < (x + 1) * factor && sx < from.Width(); ++sx, ++n)
                    for (int channel = 0; channel < 3; ++channel)
                        sum[channel] += (from.Row(sy)[sx] >> (8 * channel)) & 0xFF;
            DWORD mean = 0;
            for (int channel = 0; channel < 3 && n; ++channel)
                mean |= static_cast<DWORD>((sum[channel] + n / 2) / n) << (8 * channel);
            to.Row(y)[x] = mean;
        }
}

int ShrinkFactor(int size, int box)
{
    return size <= box || box <= 0 ? 1 : (size + box - 1) / box;
}
