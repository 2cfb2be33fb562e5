#include "model/transforms.h"

#include "model/icon_image.h"

#include <algorithm>
#include <memory>
#include <new>

#include "model/raw_pixels.h"

namespace {

// The part of a block that lies in the image; a block may come from a selection
// made on a larger image.
RECT ClipToImage(const RECT& block, int size)
{
    RECT clipped;
    clipped.left = std::max(block.left, LONG(0));
    clipped.top = std::max(block.top, LONG(0));
    clipped.right = std::min(block.right, LONG(size));
    clipped.bottom = std::min(block.bottom, LONG(size));
    return clipped;
}

RECT BlockOf(const RECT* rect, int size)
{
    RECT whole = { 0, 0, size, size };
    return rect ? *rect : whole;
}

// Writes the background (the right colour, transparent when it is) into one pixel.
int WriteBackground(IconImage& image, int x, int y)
{
    const PaintingColours& colours = image.Colours();
    if (colours.GetRightIndex() != -1)
        return image.SetPixelIndex(x, y, colours.GetRightIndex());
    return image.SetPixelColour(x, y, colours.GetRightColour());
}

}  // namespace

TransformOutcome ClearImage(IconImage& image)
{
    if (!image.IsValid())
        return TransformOutcome::NothingChanged;
    RECT whole = { 0, 0, image.GetSize(), image.GetSize() };
    return ClearRect(image, whole);
}

TransformOutcome ClearRect(IconImage& image, const RECT& rect)
{
    if (!image.IsValid())
        return TransformOutcome::NothingChanged;
    // Pixels outside the image would be refused one by one; skip them at once.
    const RECT area = ClipToImage(rect, image.GetSize());
    int written = 0;
    for (int x = area.left; x < area.right; ++x)
        for (int y = area.top; y < area.bottom; ++y)
            if (WriteBackground(image, x, y))
                written = 1;
    return written ? TransformOutcome::Done : TransformOutcome::NothingChanged;
}

// The block is moved pixel by pixel rather than through a bitmap of the screen's
// format, so every moved pixel keeps its exact stored value: its palette index
// even where two entries share a colour, all of its colour bytes, its mask bit.
TransformOutcome Shift(IconImage& image, const RECT* rect, int dx, int dy)
{
    if (!image.IsValid())
        return TransformOutcome::NothingChanged;
    const int size = image.GetSize();
    const RECT area = ClipToImage(BlockOf(rect, size), size);

    // The block is taken whole before anything is written, so that running out
    // of memory for it leaves the image untouched.
    const size_t width = area.right > area.left ? size_t(area.right - area.left) : 0;
    const size_t height = area.bottom > area.top ? size_t(area.bottom - area.top) : 0;
    std::unique_ptr<RawPixel[]> block(new (std::nothrow) RawPixel[width * height + 1]);
    if (!block)
        return TransformOutcome::NoMemory;
    RawPixels raw(image);
    size_t taken = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            block[taken++] = raw.Read(x, y);
    // The strip that the move uncovers keeps the background written here.
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            WriteBackground(image, x, y);
    size_t i = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x, ++i) {
            const LONGLONG tx = LONGLONG(x) + dx, ty = LONGLONG(y) + dy;
            if (tx >= 0 && ty >= 0 && tx < size && ty < size)
                raw.Write(int(tx), int(ty), block[i]);
        }
    // Every shift is a change, even one that moved nothing into view.
    return TransformOutcome::Done;
}

// Mirror swaps stored values too; a pair with a partner outside the image
// (a selection made on a larger image) is left as it is.
TransformOutcome Mirror(IconImage& image, const RECT* rect, bool vertical)
{
    if (!image.IsValid())
        return TransformOutcome::NothingChanged;
    const int size = image.GetSize();
    const RECT block = BlockOf(rect, size);
    // The first half of the block (rows or columns), limited to the image.
    RECT half = block;
    if (vertical)
        half.bottom = LONG(block.top + (LONGLONG(block.bottom) - block.top) / 2);
    else
        half.right = LONG(block.left + (LONGLONG(block.right) - block.left) / 2);
    const RECT area = ClipToImage(half, size);
    RawPixels raw(image);
    int written = 0;
    for (int x = area.left; x < area.right; ++x)
        for (int y = area.top; y < area.bottom; ++y) {
            const LONGLONG px = vertical ? x : LONGLONG(block.left) + block.right - 1 - x;
            const LONGLONG py = vertical ? LONGLONG(block.top) + block.bottom - 1 - y : y;
            if (px < 0 || py < 0 || px >= size || py >= size)
                continue;
            const RawPixel first = raw.Read(x, y);
            raw.Write(x, y, raw.Read(int(px), int(py)));
            raw.Write(int(px), int(py), first);
            written = 1;
        }
    return written ? TransformOutcome::Done : TransformOutcome::NothingChanged;
}
