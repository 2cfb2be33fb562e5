#pragma once
// Pixels exactly as stored, for the model's own transforms: a mask bit and the
// colour part (palette index, or the three or four colour bytes). Writing raw
// pixels stays inside the model.
#include <windows.h>

#include <cstddef>

#include "model/icon_image.h"
#include "model/packed_pixels.h"

struct RawPixel
{
    bool transparent;
    DWORD value;
};

// For pixels inside the image only.
class RawPixels
{
public:
    explicit RawPixels(IconImage& image)
        : size_(image.GetSize()), bits_(image.GetBitCount()),
          colour_(image.CurrentState()->ColourBits()), mask_(image.CurrentState()->MaskBits()),
          colourStride_(RowStride(size_, bits_)), maskStride_(RowStride(size_, 1)) {}

    RawPixel Read(int x, int y) const
    {
        RawPixel pixel;
        pixel.transparent = (*MaskByte(x, y) & MaskBit(x)) != 0;
        const BYTE* p = Pixel(x, y);
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
        BYTE* p = Pixel(x, y);
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

    // The mask rows as stored, for drawing through GDI that must tell which
    // pixels its pen reached; and the alpha of a 32-bit pixel.
    BYTE* MaskRows() const { return mask_; }
    size_t MaskRowBytes() const { return size_t(maskStride_) * size_; }
    void SetAlpha(int x, int y, BYTE alpha) const { Pixel(x, y)[3] = alpha; }

private:
    BYTE* Pixel(int x, int y) const { return colour_ + colourStride_ * (size_ - 1 - y) + x * bits_ / 8; }
    BYTE* MaskByte(int x, int y) const { return mask_ + maskStride_ * (size_ - 1 - y) + x / 8; }

    int size_;
    int bits_;
    BYTE* colour_;
    BYTE* mask_;
    int colourStride_;
    int maskStride_;
};
