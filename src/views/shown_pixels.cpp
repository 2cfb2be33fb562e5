#include "views/shown_pixels.h"

#include <vector>

#include "model/icon_image.h"
#include "views/pixel_buffer.h"
#include "win/compose_image.h"

namespace {

// A buffer pixel: blue in the low byte, then green and red.
DWORD BufferPixel(COLORREF colour)
{
    return static_cast<DWORD>(GetRValue(colour)) << 16 | static_cast<DWORD>(GetGValue(colour)) << 8 |
           GetBValue(colour);
}

// One pixel of straight alpha (blue in the low byte, alpha in the high one) over
// an opaque background; most pixels of an icon are fully opaque or fully
// transparent, and those are taken as they are.
DWORD BlendOver(DWORD pixel, DWORD background)
{
    const DWORD alpha = pixel >> 24;
    if (alpha == 255)
        return pixel & 0xFFFFFF;
    if (alpha == 0)
        return background;
    DWORD out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const DWORD c = (pixel >> shift) & 0xFF, b = (background >> shift) & 0xFF;
        out |= ((c * alpha + b * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

void BlendRows(const IconImage& image, const RECT& part, PixelBuffer& into)
{
    const int s = image.GetSize();
    const DWORD face = BufferPixel(GetSysColor(COLOR_BTNFACE));
    for (int y = part.top; y < part.bottom; ++y) {
        // The image's rows are bottom-up, the buffer's top-down.
        const DWORD* colour = reinterpret_cast<const DWORD*>(image.GetColourBits()) + static_cast<size_t>(s) * (s - 1 - y);
        DWORD* out = into.Row(y);
        for (int x = part.left; x < part.right; ++x)
            out[x] = BlendOver(colour[x], face);
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

bool ComposeOverFace(const IconImage& image, PixelBuffer& into, const RECT* only)
{
    const int s = image.GetSize();
    RECT part = { 0, 0, s, s };
    if (only)
        IntersectRect(&part, &part, only);
    GdiFlush();  // shapes drawn into the image by GDI reach its bytes
    if (ShowsAlpha(image)) {
        BlendRows(image, part, into);
        return true;
    }
    if (IsRectEmpty(&part))
        return true;
    const MaskedPicture picture = { image.GetMaskBitmap(), image.GetColourBitmap() };
    const bool composed = ComposeImage(into.Context(), part, picture, part, GetSysColorBrush(COLOR_BTNFACE));
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
