#include "model/icon_image.h"

#include <algorithm>
#include <vector>

#include "model/packed_pixels.h"

namespace {

// A pixel exactly as stored: its mask bit and its colour part (palette index,
// or the three or four colour bytes).
struct RawPixel
{
    bool transparent;
    DWORD value;
};

class RawAccess
{
public:
    explicit RawAccess(const IconImage& image)
        : image_(image), size_(image.GetSize()), bits_(image.GetBitCount()),
          mask_(static_cast<BYTE*>(image.GetBits(1))),
          maskStride_(IconImage::RowStride(image.GetSize(), 1)) {}

    RawPixel Read(int x, int y) const
    {
        RawPixel pixel;
        pixel.transparent = (*MaskByte(x, y) & MaskBit(x)) != 0;
        const BYTE* p = image_.PixelAddress(x, y);
        if (bits_ <= 8)
            pixel.value = ReadPackedIndex(p, x, bits_);
        else
            pixel.value = p[0] | (p[1] << 8) | (p[2] << 16) | (bits_ == 32 ? DWORD(p[3]) << 24 : 0);
        return pixel;
    }

    void Write(int x, int y, const RawPixel& pixel) const
    {
        BYTE* m = MaskByte(x, y);
        *m = pixel.transparent ? BYTE(*m | MaskBit(x)) : BYTE(*m & ~MaskBit(x));
        BYTE* p = image_.PixelAddress(x, y);
        if (bits_ <= 8) {
            WritePackedIndex(p, x, bits_, pixel.value);
            return;
        }
        p[0] = BYTE(pixel.value);
        p[1] = BYTE(pixel.value >> 8);
        p[2] = BYTE(pixel.value >> 16);
        if (bits_ == 32)
            p[3] = BYTE(pixel.value >> 24);
    }

private:
    BYTE* MaskByte(int x, int y) const { return mask_ + maskStride_ * (size_ - 1 - y) + x / 8; }

    const IconImage& image_;
    int size_;
    int bits_;
    BYTE* mask_;
    int maskStride_;
};

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
    if (image.GetRightIndex() != -1)
        return image.SetPixelIndex(x, y, image.GetRightIndex());
    return image.SetPixelColour(x, y, image.GetRightColour());
}

}  // namespace

int IconImage::ClearImage()
{
    if (!IsValid())
        return 0;
    RECT whole = { 0, 0, GetSize(), GetSize() };
    return ClearRect(whole);
}

int IconImage::ClearRect(const RECT& rect)
{
    if (!IsValid())
        return 0;
    // An edit that could not be undone is refused rather than made.
    ImageState* snapshot = CopyCurrentState();
    if (!snapshot)
        return 0;
    // Pixels outside the image would be refused one by one; skip them at once.
    const RECT area = ClipToImage(rect, GetSize());
    int written = 0;
    for (int x = area.left; x < area.right; ++x)
        for (int y = area.top; y < area.bottom; ++y)
            if (WriteBackground(*this, x, y))
                written = 1;
    if (written)
        CommitState(snapshot);
    else
        FreeState(snapshot);
    return written;
}

// The block is moved pixel by pixel rather than through a bitmap of the screen's
// format, so every moved pixel keeps its exact stored value: its palette index
// even where two entries share a colour, all of its colour bytes, its mask bit.
int IconImage::Shift(const RECT* rect, int dx, int dy)
{
    if (!IsValid())
        return 0;
    const int size = GetSize();
    const RECT area = ClipToImage(BlockOf(rect, size), size);
    ImageState* snapshot = CopyCurrentState();
    if (!snapshot)
        return 0;

    RawAccess raw(*this);
    std::vector<RawPixel> block;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            block.push_back(raw.Read(x, y));
    // The strip that the move uncovers keeps the background written here.
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            WriteBackground(*this, x, y);
    size_t i = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x, ++i) {
            const LONGLONG tx = LONGLONG(x) + dx, ty = LONGLONG(y) + dy;
            if (tx >= 0 && ty >= 0 && tx < size && ty < size)
                raw.Write(int(tx), int(ty), block[i]);
        }

    // Every shift is an undo step, even one that moved nothing into view.
    CommitState(snapshot);
    return 1;
}

// Mirror swaps stored values too; a pair with a partner outside the image
// (a selection made on a larger image) is left as it is.
int IconImage::Mirror(const RECT* rect, bool vertical)
{
    if (!IsValid())
        return 0;
    const int size = GetSize();
    const RECT block = BlockOf(rect, size);
    // The first half of the block (rows or columns), limited to the image.
    RECT half = block;
    if (vertical)
        half.bottom = LONG(block.top + (LONGLONG(block.bottom) - block.top) / 2);
    else
        half.right = LONG(block.left + (LONGLONG(block.right) - block.left) / 2);
    const RECT area = ClipToImage(half, size);
    RawAccess raw(*this);
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
    return written;
}
