#include "model/icon_image.h"

#include <cstdio>
#include <cstring>

#include "model/history_budget.h"
#include "model/image_state.h"
#include "model/packed_pixels.h"
#include "win/gdi_guards.h"

namespace {

const int kAcceptedSizes[] = { 16, 32, 48, 64, 72, 128 };
const int kAcceptedBitCounts[] = { 1, 4, 8, 24, 32 };

char formatText[32];

BYTE* MaskByte(const ImageState* state, int x, int y)
{
    int size = SideOf(state);
    return state->maskBits + IconImage::RowStride(size, 1) * (size - 1 - y) + x / 8;
}

} // namespace

IconImage::IconImage()
{
    static unsigned long lastIdentity = 0;
    identity_ = ++lastIdentity;
}

IconImage::~IconImage()
{
    Reset();
    if (budget_)
        budget_->Detach(this);
}

int IconImage::CreateBlank(int size, int bitCount)
{
    if (!IsAcceptedSize(size) || !IsAcceptedBitCount(bitCount))
        return 0;
    Reset();
    RGBQUAD palette[256];
    int count = DefaultPalette(bitCount, palette);
    ImageState* state = NewState(size, bitCount, palette);
    if (!state)
        return 0;
    int colourBytes = RowStride(size, bitCount) * size;
    // 0xFF everywhere is white at every depth: the last entry of each default palette.
    std::memset(state->colourBits, 0xFF, colourBytes);
    std::memset(state->maskBits, 0, RowStride(size, 1) * size);
    if (!AdoptFirstState(state, colourBytes, 0, count - 1)) {
        FreeState(state);
        return 0;
    }
    return 1;
}

void IconImage::Reset()
{
    ReleaseHistory();
    resourceSize_ = 0;
    colourBytes_ = 0;
    paletteBytes_ = 0;
    maskBytes_ = 0;
    transparentIndex_ = -1;
}

bool IconImage::AdoptFirstState(ImageState* state, int colourBytes, int leftIndex, int rightIndex)
{
    if (!state || !state->colourBitmap || !state->maskBitmap)
        return false;
    if (first_)
        Reset();
    if (!AppendState(state))
        return false;
    int size = SideOf(state);
    int bitCount = BitsOf(state);
    SetByteCounts(size, bitCount, colourBytes);
    state->hotspotX = static_cast<WORD>((size - 1) / 2);
    state->hotspotY = static_cast<WORD>((size - 1) / 2);
    // An index the palette cannot hold falls back to the default pair black/white.
    int count = GetPaletteCount();
    if (leftIndex < 0 || leftIndex > count)
        leftIndex = 0;
    if (rightIndex < 0 || rightIndex > count)
        rightIndex = count - 1;
    SetLeftIndex(leftIndex);
    SetRightIndex(rightIndex);
    return true;
}

void IconImage::SetByteCounts(int size, int bitCount, int colourBytes)
{
    colourBytes_ = colourBytes;
    paletteBytes_ = bitCount <= 8 ? 4 * (1 << bitCount) : 0;
    maskBytes_ = RowStride(size, 1) * size;
    resourceSize_ = static_cast<int>(sizeof(BITMAPINFOHEADER)) + paletteBytes_ + colourBytes_ +
                    maskBytes_;
}

bool IconImage::IsValid() const
{
    const ImageState* state = CurrentState();
    return state && state->colourBitmap && state->maskBitmap;
}

int IconImage::GetSize() const
{
    return IsValid() ? SideOf(CurrentState()) : 0;
}

int IconImage::GetBitCount() const
{
    return IsValid() ? BitsOf(CurrentState()) : 0;
}

int IconImage::GetPaletteCount() const
{
    return IsValid() ? PaletteCountOf(BitsOf(CurrentState())) : -1;
}

const char* IconImage::GetFormatText() const
{
    if (IsValid())
        std::snprintf(formatText, sizeof formatText, "%ix%ix%i-bits", GetSize(), GetSize(),
                      GetBitCount());
    else
        formatText[0] = '\0';
    return formatText;
}

HBITMAP IconImage::GetColourBitmap() const
{
    const ImageState* state = CurrentState();
    return state ? state->colourBitmap : nullptr;
}

HBITMAP IconImage::GetMaskBitmap() const
{
    const ImageState* state = CurrentState();
    return state ? state->maskBitmap : nullptr;
}

void* IconImage::GetBits(int kind) const
{
    const ImageState* state = CurrentState();
    if (!state)
        return nullptr;
    switch (kind) {
    case 0: return state->colourBits;
    case 1: return state->maskBits;
    case 2: return state->palette;
    }
    return nullptr;
}

// Rounded up to whole bytes before the 4-byte alignment, as DIB rows are: a plain
// truncation would give 1-bit rows narrower than 8 pixels no bytes at all. Every
// accepted image size is a multiple of 8, where both readings agree.
int IconImage::RowStride(int width, int bits)
{
    int bytes = (width * bits + 7) / 8;
    return (bytes + 3) / 4 * 4;
}

bool IconImage::IsAcceptedSize(int size)
{
    for (int accepted : kAcceptedSizes)
        if (size == accepted)
            return true;
    return false;
}

bool IconImage::IsAcceptedBitCount(int bitCount)
{
    for (int accepted : kAcceptedBitCounts)
        if (bitCount == accepted)
            return true;
    return false;
}

void IconImage::GetHotspot(WORD* x, WORD* y) const
{
    const ImageState* state = CurrentState();
    if (!state)
        return;
    if (x)
        *x = state->hotspotX;
    if (y)
        *y = state->hotspotY;
}

int IconImage::SetHotspot(WORD x, WORD y)
{
    ImageState* state = CurrentState();
    if (!state || (state->hotspotX == x && state->hotspotY == y))
        return 0;
    state->hotspotX = x;
    state->hotspotY = y;
    return 1;
}

COLORREF IconImage::GetPaletteColour(int index) const
{
    const ImageState* state = CurrentState();
    if (!state || !state->palette)
        return NoColour;
    int count = PaletteCountOf(BitsOf(state));
    if (index >= 0 && index < count)
        return ColourOf(state->palette[index]);
    return index == count ? TransparentColour : NoColour;
}

int IconImage::SetPaletteColour(int index, COLORREF colour)
{
    ImageState* state = CurrentState();
    if (!state || !state->palette)
        return 0;
    int bitCount = BitsOf(state);
    if (index < 0 || index >= PaletteCountOf(bitCount))
        return 0;
    // The reserved values (transparent, no colour) are not colours an entry can hold.
    if (colour & 0xFF000000)
        return 0;
    if (ColourOf(state->palette[index]) == colour)
        return 0;
    RGBQUAD entry = EntryOf(colour);
    // The colour table follows the palette, or the edit is refused: without a
    // context to load it the pixels would show the old colour.
    if (bitCount <= 8 && state->colourBitmap) {
        MemoryDC dc(nullptr);
        if (!dc.Ok())
            return 0;
        SelectGuard select(dc, state->colourBitmap);
        SetDIBColorTable(dc, static_cast<UINT>(index), 1, &entry);
    }
    state->palette[index] = entry;
    return 1;
}

int IconImage::IndexOfColour(COLORREF colour) const
{
    if (!IsValid())
        return -1;
    int count = GetPaletteCount();
    if (colour == TransparentColour)
        return count;
    const RGBQUAD* palette = CurrentState()->palette;
    if (!palette)
        return -1;
    for (int i = 0; i < count; ++i)
        if (ColourOf(palette[i]) == colour)
            return i;
    return -1;
}

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
