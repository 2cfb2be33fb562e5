#include "model/icon_image.h"

#include "model/image_state.h"
#include "model/packed_pixels.h"

namespace {

BYTE* MaskByte(const ImageState* state, int x, int y)
{
    int size = SideOf(state);
    return state->maskBits + IconImage::RowStride(size, 1) * (size - 1 - y) + x / 8;
}

} // namespace

BYTE* IconImage::PixelAddress(int x, int y) const
{
    if (!IsValid())
        return nullptr;
    const ImageState* state = CurrentState();
    int size = SideOf(state);
    if (x < 0 || y < 0 || x >= size || y >= size)
        return nullptr;
    int bits = BitsOf(state);
    return state->colourBits + RowStride(size, bits) * (size - 1 - y) + x * bits / 8;
}

int IconImage::IsTransparent(int x, int y) const
{
    if (!PixelAddress(x, y))
        return 0;
    return (*MaskByte(CurrentState(), x, y) & MaskBit(x)) ? 1 : 0;
}

COLORREF IconImage::GetPixelColour(int x, int y) const
{
    const BYTE* pixel = PixelAddress(x, y);
    if (!pixel)
        return NoColour;
    switch (GetBitCount()) {
    case 1:
    case 4:
    case 8:
        return GetPaletteColour(GetPixelIndex(x, y));
    case 24:
    case 32:
        return RGB(pixel[2], pixel[1], pixel[0]);
    }
    return NoColour;
}

int IconImage::GetPixelIndex(int x, int y) const
{
    const BYTE* pixel = PixelAddress(x, y);
    if (!pixel)
        return -1;
    const int bits = GetBitCount();
    return bits <= 8 ? static_cast<int>(ReadPackedIndex(pixel, x, bits)) : -1;
}

int IconImage::SetPixelIndex(int x, int y, int index)
{
    BYTE* pixel = PixelAddress(x, y);
    int count = GetPaletteCount();
    if (!pixel || index < 0 || index > count)
        return 0;
    if (index == count)
        return SetTransparent(x, y, true);
    SetTransparent(x, y, false);
    switch (GetBitCount()) {
    case 1:
    case 4:
    case 8:
        WritePackedIndex(pixel, x, GetBitCount(), static_cast<DWORD>(index));
        break;
    case 24:
    case 32: {
        COLORREF colour = GetPaletteColour(index);
        if (colour == NoColour)
            return 0;
        pixel[0] = GetBValue(colour);
        pixel[1] = GetGValue(colour);
        pixel[2] = GetRValue(colour);
        if (GetBitCount() == 32)
            pixel[3] = 0;
        break;
    }
    default:
        return 0;
    }
    return 1;
}

int IconImage::SetPixelColour(int x, int y, COLORREF colour)
{
    BYTE* pixel = PixelAddress(x, y);
    if (!pixel || GetBitCount() < 9 || colour == NoColour)
        return 0;
    if (colour == TransparentColour)
        return SetTransparent(x, y, true);
    SetTransparent(x, y, false);
    pixel[0] = GetBValue(colour);
    pixel[1] = GetGValue(colour);
    pixel[2] = GetRValue(colour);
    if (GetBitCount() == 32)
        pixel[3] = 0;
    return 1;
}

int IconImage::SetTransparent(int x, int y, bool on)
{
    if (!PixelAddress(x, y))
        return 0;
    BYTE* mask = MaskByte(CurrentState(), x, y);
    BYTE bit = MaskBit(x);
    if (((*mask & bit) != 0) == on)
        return 0;
    if (on) {
        // The colour part goes first, while the mask bit is still clear, so that the
        // transparent-index search does not find this very pixel.
        if (GetBitCount() <= 8) {
            int index = SettleTransparentIndex();
            if (index != -1)
                SetPixelIndex(x, y, index);
        } else {
            SetPixelColour(x, y, 0x000000);
        }
        *mask = static_cast<BYTE>(*mask | bit);
    } else {
        *mask = static_cast<BYTE>(*mask & ~bit);
    }
    return 1;
}
