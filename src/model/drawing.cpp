#include "model/drawing.h"

#include "model/icon_image.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "model/raw_pixels.h"

#include "win/gdi_guards.h"

namespace {

// Draws the primitive into one of the image's bitmaps with a one-pixel pen.
void DrawOnBitmap(HDC dc, HBITMAP bitmap, HPEN pen, ShapeKind shape, POINT start, POINT end)
{
    SelectGuard keepBitmap(dc, bitmap);
    DrawShapeOutline(dc, pen, shape, start, end);
}

// The context and pens for drawing into the image's bitmaps, made before anything
// changes: when GDI has no object left to give, the drawing is refused whole
// rather than leaving the mask drawn without its colour. The colour bitmap's pen
// is the colour of the stroke (black under transparency), the mask's pen sets or
// clears the transparency bit.
// GDI does not keep the fourth byte of a 32-bit pixel it draws on, and that
// byte is alpha: on 32 bits the mask is first drawn from a known start, which
// tells the pixels the pen reached, and those then take alpha 255, or 0 under
// transparency.
class BitmapPens
{
public:
    BitmapPens(const IconImage& image, COLORREF penColour, bool transparent)
        : dc_(nullptr), colourPen_(transparent ? nullptr : CreatePen(PS_SOLID, 1, penColour)),
          transparent_(transparent), maskBytes_(MaskBytesOf(image)),
          savedMask_(maskBytes_ ? new (std::nothrow) BYTE[maskBytes_] : nullptr) {}

    bool Ok() const
    {
        return dc_.Ok() && (transparent_ || colourPen_.Ok()) && (maskBytes_ == 0 || savedMask_);
    }

    void Draw(IconImage& image, ShapeKind shape, POINT start, POINT end) const
    {
        BYTE* mask = nullptr;
        if (maskBytes_) {
            GdiFlush();
            mask = RawPixels(image).MaskRows();
            std::memcpy(savedMask_.get(), mask, maskBytes_);
            std::memset(mask, transparent_ ? 0x00 : 0xFF, maskBytes_);
        }
        HPEN pen = transparent_ ? static_cast<HPEN>(GetStockObject(BLACK_PEN)) : colourPen_.Get();
        DrawOnBitmap(dc_, image.GetColourBitmap(), pen, shape, start, end);
        HPEN maskPen = static_cast<HPEN>(GetStockObject(transparent_ ? WHITE_PEN : BLACK_PEN));
        DrawOnBitmap(dc_, image.GetMaskBitmap(), maskPen, shape, start, end);
        // The pixels are read and written directly next: make GDI finish first.
        GdiFlush();
        if (mask)
            SettleReachedPixels(image, mask);
    }

private:
    static size_t MaskBytesOf(const IconImage& image)
    {
        return image.GetBitCount() == 32 ? size_t(RowStride(image.GetSize(), 1)) * image.GetSize() : 0;
    }

    void SettleReachedPixels(IconImage& image, BYTE* mask) const
    {
        const RawPixels raw(image);
        const int size = image.GetSize(), stride = RowStride(size, 1);
        const BYTE alpha = transparent_ ? 0 : kOpaque;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const BYTE bit = MaskBit(x);
                BYTE& drawn = mask[size_t(size - 1 - y) * stride + x / 8];
                const BYTE before = savedMask_[size_t(size - 1 - y) * stride + x / 8] & bit;
                if (((drawn & bit) != 0) == transparent_)
                    raw.SetAlpha(x, y, alpha);
                else
                    drawn = BYTE((drawn & ~bit) | before);
            }
    }

    MemoryDC dc_;
    OwnedPen colourPen_;
    bool transparent_;
    size_t maskBytes_;
    std::unique_ptr<BYTE[]> savedMask_;
};

}  // namespace

// No fill, so that rectangles and ellipses stay outlines.
void DrawShapeOutline(HDC dc, HPEN pen, ShapeKind shape, POINT start, POINT end)
{
    SelectGuard keepPen(dc, pen);
    SelectGuard keepBrush(dc, GetStockObject(NULL_BRUSH));
    switch (shape) {
    case ShapeLine:
        MoveToEx(dc, start.x, start.y, nullptr);
        LineTo(dc, end.x, end.y);
        break;
    case ShapeRectangle:
        Rectangle(dc, start.x, start.y, end.x, end.y);
        break;
    case ShapeEllipse:
        Ellipse(dc, start.x, start.y, end.x, end.y);
        break;
    }
}

bool IsFillTarget(const IconImage& image, int x, int y, COLORREF target)
{
    if (!image.IsValid() || x < 0 || y < 0 || x >= image.GetSize() || y >= image.GetSize())
        return false;
    if (target == TransparentColour)
        return image.IsTransparent(x, y) != 0;
    return !image.IsTransparent(x, y) && image.GetPixelColour(x, y) == target;
}

bool PaintPixel(IconImage& image, int x, int y, int strokeIndex, COLORREF strokeColour)
{
    if (strokeIndex != -1)
        return image.SetPixelIndex(x, y, strokeIndex);
    return image.SetPixelColour(x, y, strokeColour);
}

bool FloodFill(IconImage& image, int x, int y, COLORREF target, int strokeIndex, COLORREF strokeColour)
{
    if (!image.IsValid())
        return 0;
    const int size = image.GetSize();
    const int count = image.GetPaletteCount();
    if (x < 0 || y < 0 || x >= size || y >= size)
        return 0;
    if (strokeIndex < -1 || strokeIndex > count)
        return 0;
    if (strokeIndex == -1 && (image.GetBitCount() <= 8 || strokeColour == NoColour))
        return 0;
    const COLORREF painted = strokeIndex != -1 ? image.GetPaletteColour(strokeIndex) : strokeColour;
    if (strokeColour == target || painted == target)
        return 0;

    // A work list instead of recursion: a region can hold every pixel of the
    // largest image. Each pixel is taken at most once, even if a paint is refused,
    // so the fill ends whatever the pixel operations answer.
    std::vector<unsigned char> visited(size_t(size) * size, 0);
    std::vector<POINT> pending;
    pending.reserve(size_t(size) * 4);
    pending.push_back(POINT{ x, y });
    bool seed = true;
    int result = 0;
    while (!pending.empty()) {
        POINT p = pending.back();
        pending.pop_back();
        if (p.x < 0 || p.y < 0 || p.x >= size || p.y >= size)
            continue;
        unsigned char& seen = visited[size_t(p.y) * size + p.x];
        if (seen || (!seed && !IsFillTarget(image, p.x, p.y, target)))
            continue;
        seen = 1;
        seed = false;
        if (PaintPixel(image, p.x, p.y, strokeIndex, strokeColour))
            result = 1;
        // Pushed in reverse so that x - 1 is visited first, then x + 1, y - 1, y + 1.
        pending.push_back(POINT{ p.x, p.y + 1 });
        pending.push_back(POINT{ p.x, p.y - 1 });
        pending.push_back(POINT{ p.x + 1, p.y });
        pending.push_back(POINT{ p.x - 1, p.y });
    }
    return result;
}

namespace {

// The black pen lands on the nearest entry of a palette image's colour table.
// Settling the transparent index first gives the palette a black entry when it
// can (an unused entry turns black), so transparent pixels stay black beneath.
void PrepareTransparentDrawing(IconImage& image)
{
    if (image.GetBitCount() <= 8)
        image.SettleTransparentIndex();
}

}  // namespace

bool DrawStrokeSegment(IconImage& image, POINT from, POINT to, int strokeIndex, COLORREF strokeColour)
{
    if (!image.IsValid())
        return 0;
    const int count = image.GetPaletteCount();
    if (strokeIndex < -1 || strokeIndex > count)
        return 0;
    if (std::abs(to.x - from.x) > 1 || std::abs(to.y - from.y) > 1) {
        const bool transparent = strokeIndex == count;
        COLORREF pen = strokeColour;
        if (strokeIndex != -1 && !transparent)
            pen = image.GetPaletteColour(strokeIndex);
        const BitmapPens pens(image, pen, transparent);
        if (!pens.Ok())
            return 0;
        if (transparent)
            PrepareTransparentDrawing(image);
        pens.Draw(image, ShapeLine, from, to);
    }
    PaintPixel(image, to.x, to.y, strokeIndex, strokeColour);
    return 1;
}

bool DrawShape(IconImage& image, ShapeKind shape, POINT start, POINT end, COLORREF strokeColour)
{
    if (!image.IsValid() || strokeColour == NoColour)
        return 0;
    const bool transparent = strokeColour == TransparentColour;
    const BitmapPens pens(image, strokeColour, transparent);
    if (!pens.Ok())
        return 0;
    if (transparent)
        PrepareTransparentDrawing(image);
    pens.Draw(image, shape, start, end);
    return 1;
}
