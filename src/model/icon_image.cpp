#include "model/icon_image.h"

#include <cstdio>
#include <cstring>

#include "model/packed_pixels.h"
#include "win/gdi_guards.h"

unsigned long IconImage::NewIdentity()
{
    static unsigned long lastIdentity = 0;
    return ++lastIdentity;
}

bool IconImage::CreateBlank(int size, int bitCount)
{
    std::unique_ptr<ImageState> state = ImageState::WithSections(size, bitCount, nullptr);
    if (!state)
        return 0;
    // 0xFF everywhere is white at every depth: the last entry of each default palette.
    std::memset(state->ColourBits(), 0xFF, state->ColourBytes());
    const Hotspot centre = { 0xFFFF, 0xFFFF };
    return TakeFirstState(std::move(state), centre) ? 1 : 0;
}

bool IconImage::LoadPixels(const ImagePixels& pixels)
{
    const int size = pixels.size, bitCount = pixels.bitCount;
    if (!IsAcceptedSize(size) || !IsAcceptedBitCount(bitCount))
        return 0;
    const int count = PaletteCountOf(bitCount);
    if (pixels.colour.size() != size_t(RowStride(size, bitCount)) * size ||
        pixels.mask.size() != size_t(RowStride(size, 1)) * size || pixels.palette.size() > size_t(count))
        return 0;
    RGBQUAD palette[256] = {};
    if (bitCount > 8 && pixels.palette.empty())
        DefaultPalette(bitCount, palette);
    else if (!pixels.palette.empty())
        std::memcpy(palette, pixels.palette.data(), sizeof(RGBQUAD) * pixels.palette.size());
    // The model keeps the fourth byte of every entry at 0; files hold anything there.
    for (RGBQUAD& entry : palette)
        entry.rgbReserved = 0;
    std::unique_ptr<ImageState> state = ImageState::WithSections(size, bitCount, palette);
    if (!state)
        return 0;
    std::memcpy(state->ColourBits(), pixels.colour.data(), pixels.colour.size());
    std::memcpy(state->MaskBits(), pixels.mask.data(), pixels.mask.size());
    return TakeFirstState(std::move(state), pixels.hotspot) ? 1 : 0;
}

bool IconImage::TakeFirstState(std::unique_ptr<ImageState> state, Hotspot hotspot)
{
    const int size = state->Size();
    if (hotspot.x >= size || hotspot.y >= size)
        hotspot.x = hotspot.y = static_cast<WORD>((size - 1) / 2);
    state->SetHotspot(hotspot);
    if (!history_.Start(std::move(state)))
        return false;
    transparentIndex_ = -1;
    colours_.SetLeftIndex(0);
    colours_.SetRightIndex(GetPaletteCount() - 1);
    return true;
}

void IconImage::Reset()
{
    history_.Clear();
    transparentIndex_ = -1;
}

bool IconImage::IsValid() const
{
    const ImageState* state = CurrentState();
    return state && state->HasSections();
}

int IconImage::GetSize() const
{
    return IsValid() ? CurrentState()->Size() : 0;
}

int IconImage::GetBitCount() const
{
    return IsValid() ? CurrentState()->BitCount() : 0;
}

int IconImage::GetPaletteCount() const
{
    return IsValid() ? PaletteCountOf(GetBitCount()) : -1;
}

std::string IconImage::GetFormatText() const
{
    if (!IsValid())
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%ix%ix%i-bits", GetSize(), GetSize(), GetBitCount());
    return text;
}

HBITMAP IconImage::GetColourBitmap() const
{
    return IsValid() ? CurrentState()->ColourBitmap() : nullptr;
}

HBITMAP IconImage::GetMaskBitmap() const
{
    return IsValid() ? CurrentState()->MaskBitmap() : nullptr;
}

const BYTE* IconImage::GetColourBits() const
{
    return IsValid() ? CurrentState()->ColourBits() : nullptr;
}

const BYTE* IconImage::GetMaskBits() const
{
    return IsValid() ? CurrentState()->MaskBits() : nullptr;
}

const RGBQUAD* IconImage::GetPalette() const
{
    return IsValid() ? CurrentState()->Palette() : nullptr;
}

Hotspot IconImage::GetHotspot() const
{
    const Hotspot none = { 0, 0 };
    return IsValid() ? CurrentState()->GetHotspot() : none;
}

bool IconImage::SetHotspot(WORD x, WORD y)
{
    ImageState* state = CurrentState();
    if (!state)
        return 0;
    const Hotspot old = state->GetHotspot();
    if (old.x == x && old.y == y)
        return 0;
    const Hotspot hotspot = { x, y };
    state->SetHotspot(hotspot);
    return 1;
}

COLORREF IconImage::GetPaletteColour(int index) const
{
    if (!IsValid())
        return NoColour;
    const int count = GetPaletteCount();
    if (index >= 0 && index < count)
        return ColourOf(CurrentState()->Palette()[index]);
    return index == count ? TransparentColour : NoColour;
}

bool IconImage::SetPaletteColour(int index, COLORREF colour)
{
    if (!IsValid() || index < 0 || index >= GetPaletteCount())
        return 0;
    // The reserved values (transparent, no colour) are not colours an entry can hold.
    if (colour & 0xFF000000)
        return 0;
    ImageState* state = CurrentState();
    if (ColourOf(state->Palette()[index]) == colour)
        return 0;
    RGBQUAD entry = EntryOf(colour);
    // The colour table follows the palette, or the edit is refused: without a
    // context to load it the pixels would show the old colour.
    if (GetBitCount() <= 8) {
        MemoryDC dc(nullptr);
        if (!dc.Ok())
            return 0;
        SelectGuard select(dc, state->ColourBitmap());
        if (!select.Ok() || SetDIBColorTable(dc, static_cast<UINT>(index), 1, &entry) != 1)
            return 0;
    }
    state->Palette()[index] = entry;
    return 1;
}

int IconImage::IndexOfColour(COLORREF colour) const
{
    if (!IsValid())
        return -1;
    const int count = GetPaletteCount();
    if (colour == TransparentColour)
        return count;
    const RGBQUAD* palette = CurrentState()->Palette();
    for (int i = 0; i < count; ++i)
        if (ColourOf(palette[i]) == colour)
            return i;
    return -1;
}

BYTE* IconImage::PixelAddress(int x, int y) const
{
    const int size = GetSize();
    if (x < 0 || y < 0 || x >= size || y >= size)
        return nullptr;
    const int bits = GetBitCount();
    return CurrentState()->ColourBits() + RowStride(size, bits) * (size - 1 - y) + x * bits / 8;
}

BYTE* IconImage::MaskByteAddress(int x, int y) const
{
    const int size = GetSize();
    if (x < 0 || y < 0 || x >= size || y >= size)
        return nullptr;
    return CurrentState()->MaskBits() + RowStride(size, 1) * (size - 1 - y) + x / 8;
}

bool IconImage::IsTransparent(int x, int y) const
{
    const BYTE* mask = MaskByteAddress(x, y);
    return mask && (*mask & MaskBit(x)) ? 1 : 0;
}

COLORREF IconImage::GetPixelColour(int x, int y) const
{
    const BYTE* pixel = PixelAddress(x, y);
    if (!pixel)
        return NoColour;
    if (GetBitCount() <= 8)
        return GetPaletteColour(GetPixelIndex(x, y));
    return RGB(pixel[2], pixel[1], pixel[0]);
}

int IconImage::GetPixelIndex(int x, int y) const
{
    const BYTE* pixel = PixelAddress(x, y);
    if (!pixel)
        return -1;
    const int bits = GetBitCount();
    return bits <= 8 ? static_cast<int>(ReadPackedIndex(pixel, x, bits)) : -1;
}

bool IconImage::SetPixelIndex(int x, int y, int index)
{
    BYTE* pixel = PixelAddress(x, y);
    const int count = GetPaletteCount();
    if (!pixel || index < 0 || index > count)
        return 0;
    if (index == count)
        return SetTransparent(x, y, true);
    SetTransparent(x, y, false);
    const int bits = GetBitCount();
    if (bits <= 8) {
        WritePackedIndex(pixel, x, bits, static_cast<DWORD>(index));
        return 1;
    }
    const COLORREF colour = GetPaletteColour(index);
    pixel[0] = GetBValue(colour);
    pixel[1] = GetGValue(colour);
    pixel[2] = GetRValue(colour);
    if (bits == 32)
        pixel[3] = kOpaque;
    return 1;
}

bool IconImage::SetPixelColour(int x, int y, COLORREF colour)
{
    BYTE* pixel = PixelAddress(x, y);
    if (!pixel || GetBitCount() < 9 || colour == NoColour)
        return 0;
    if (colour == TransparentColour)
        return SetTransparent(x, y, true);
    return SetPixelRgba(x, y, colour & 0x00FFFFFF, kOpaque);
}

bool IconImage::SetPixelRgba(int x, int y, COLORREF colour, BYTE alpha)
{
    BYTE* pixel = PixelAddress(x, y);
    if (!pixel || GetBitCount() < 9 || (colour & 0xFF000000))
        return 0;
    if (alpha == 0)
        return SetTransparent(x, y, true);
    SetTransparent(x, y, false);
    pixel[0] = GetBValue(colour);
    pixel[1] = GetGValue(colour);
    pixel[2] = GetRValue(colour);
    // Only 32-bit pixels hold alpha; on 24 bits any painted pixel is opaque.
    if (GetBitCount() == 32)
        pixel[3] = alpha;
    return 1;
}

bool IconImage::SetTransparent(int x, int y, bool on)
{
    BYTE* mask = MaskByteAddress(x, y);
    if (!mask)
        return 0;
    const BYTE bit = MaskBit(x);
    // A file may leave some alpha under a set mask bit: painted transparent, it goes.
    const bool alphaLeft = on && GetBitCount() == 32 && PixelAddress(x, y)[3] != 0;
    if (((*mask & bit) != 0) == on && !alphaLeft)
        return 0;
    if (on) {
        // The colour part goes first, while the mask bit is still clear, so that the
        // transparent-index search does not find this very pixel.
        if (GetBitCount() <= 8) {
            int index = SettleTransparentIndex();
            if (index != -1)
                SetPixelIndex(x, y, index);
        } else {
            // Black, and on 32 bits alpha 0: what every reader takes for transparent.
            std::memset(PixelAddress(x, y), 0, size_t(GetBitCount() / 8));
        }
        *mask = static_cast<BYTE>(*mask | bit);
    } else {
        *mask = static_cast<BYTE>(*mask & ~bit);
        // A pixel that shows holds some alpha; the caller may give it less than all.
        if (GetBitCount() == 32)
            PixelAddress(x, y)[3] = kOpaque;
    }
    return 1;
}

std::unique_ptr<ImageState> IconImage::CopyCurrentState() const
{
    return history_.CopyCurrent();
}

bool IconImage::CommitState(std::unique_ptr<ImageState> state)
{
    return history_.Commit(std::move(state));
}

bool IconImage::RestoreState(const ImageState& state)
{
    if (!IsValid() || !CurrentState()->TakeContentOf(state))
        return 0;
    transparentIndex_ = -1;
    return 1;
}

bool IconImage::CanUndo() const
{
    return history_.CanUndo();
}

bool IconImage::CanRedo() const
{
    return history_.CanRedo();
}

// Each state has its own palette: the transparent index settled for another
// state may hold a colour here, and transparent pixels painted with it would
// show that colour.
bool IconImage::Undo()
{
    if (!history_.Undo())
        return 0;
    transparentIndex_ = -1;
    return 1;
}

bool IconImage::Redo()
{
    if (!history_.Redo())
        return 0;
    transparentIndex_ = -1;
    return 1;
}
