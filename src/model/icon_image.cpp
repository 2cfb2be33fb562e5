#include "model/icon_image.h"

#include <cstdio>
#include <cstring>

#include "model/packed_pixels.h"
#include "win/gdi_guards.h"

namespace {

const int kAcceptedSizes[] = { 16, 32, 48, 64, 72, 128 };
const int kAcceptedBitCounts[] = { 1, 4, 8, 24, 32 };

// The sixteen colours of the 4-bit palette, also the last row of the 8-bit one.
const COLORREF kSixteenColours[16] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
};

// Roles of red, green and blue in the ramp rows 1-13 of the 8-bit palette.
enum Role { F, H, Z };
const Role kRampRoles[13][3] = {
    { F, Z, Z }, { F, H, Z }, { F, F, Z }, { H, F, Z }, { Z, F, Z }, { Z, F, H }, { Z, F, F },
    { Z, H, F }, { Z, Z, F }, { H, Z, F }, { F, Z, F }, { F, Z, H }, { F, H, H },
};

char formatText[32];

void* HeapZero(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void HeapRelease(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

RGBQUAD EntryOf(COLORREF colour)
{
    RGBQUAD entry;
    entry.rgbBlue = GetBValue(colour);
    entry.rgbGreen = GetGValue(colour);
    entry.rgbRed = GetRValue(colour);
    entry.rgbReserved = 0;
    return entry;
}

COLORREF ColourOf(const RGBQUAD& entry)
{
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}

BYTE RampLevel(Role role, int column)
{
    if (column < 8) {
        switch (role) {
        case F: return static_cast<BYTE>(32 * (column + 1) - 1);
        case H: return static_cast<BYTE>(16 * (column + 1) - 1);
        default: return 0;
        }
    }
    int k = column - 8;
    switch (role) {
    case F: return 0xFF;
    case H: return static_cast<BYTE>(0x8F + 16 * k);
    default: return static_cast<BYTE>(0x0F + 32 * k);
    }
}

int PaletteCountOf(int bitCount)
{
    return bitCount < 8 ? 1 << bitCount : 256;
}

void FillHeader(BITMAPINFOHEADER& header, int size, int bitCount)
{
    std::memset(&header, 0, sizeof header);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = size;
    header.biHeight = size;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
}

// The BITMAPINFO block lives only for the CreateDIBSection call.
HBITMAP CreateSection(const BITMAPINFOHEADER& header, const RGBQUAD* table, int tableCount,
                      BYTE** bits)
{
    *bits = nullptr;
    BITMAPINFO* info = static_cast<BITMAPINFO*>(
        HeapZero(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * tableCount));
    if (!info)
        return nullptr;
    info->bmiHeader = header;
    if (tableCount > 0)
        std::memcpy(info->bmiColors, table, sizeof(RGBQUAD) * tableCount);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &memory, nullptr, 0);
    HeapRelease(info);
    if (bitmap && !memory) {
        DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<BYTE*>(memory);
    return bitmap;
}

int SideOf(const ImageState* state)
{
    return state->colourHeader.biWidth;
}

int BitsOf(const ImageState* state)
{
    return state->colourHeader.biBitCount;
}

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

void IconImage::FreeState(ImageState* state)
{
    if (!state)
        return;
    if (state->colourBitmap)
        DeleteObject(state->colourBitmap);
    if (state->maskBitmap)
        DeleteObject(state->maskBitmap);
    HeapRelease(state->palette);
    HeapRelease(state);
}

ImageState* IconImage::NewState(int size, int bitCount, const RGBQUAD* palette)
{
    if (!IsAcceptedSize(size) || !IsAcceptedBitCount(bitCount))
        return nullptr;
    ImageState* state = static_cast<ImageState*>(HeapZero(sizeof(ImageState)));
    if (!state)
        return nullptr;
    int count = PaletteCountOf(bitCount);
    state->palette = static_cast<RGBQUAD*>(HeapZero(sizeof(RGBQUAD) * count));
    if (!state->palette) {
        FreeState(state);
        return nullptr;
    }
    // Without a palette from the caller the state gets the default one rather than
    // an all-black table, which would make every pixel look alike.
    if (palette)
        std::memcpy(state->palette, palette, sizeof(RGBQUAD) * count);
    else
        DefaultPalette(bitCount, state->palette);

    FillHeader(state->colourHeader, size, bitCount);
    state->colourBitmap = CreateSection(state->colourHeader, state->palette,
                                        bitCount <= 8 ? count : 0, &state->colourBits);
    FillHeader(state->maskHeader, size, 1);
    const RGBQUAD blackWhite[2] = { EntryOf(0x000000), EntryOf(0xFFFFFF) };
    state->maskBitmap = CreateSection(state->maskHeader, blackWhite, 2, &state->maskBits);
    if (!state->colourBitmap || !state->maskBitmap) {
        FreeState(state);
        return nullptr;
    }
    std::memset(state->colourBits, 0, RowStride(size, bitCount) * size);
    std::memset(state->maskBits, 0, RowStride(size, 1) * size);
    return state;
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

int IconImage::DefaultPalette(int bitCount, RGBQUAD* out)
{
    if (!IsAcceptedBitCount(bitCount) || !out)
        return 0;
    if (bitCount == 1) {
        out[0] = EntryOf(0x000000);
        out[1] = EntryOf(0xFFFFFF);
        return 2;
    }
    if (bitCount == 4) {
        for (int i = 0; i < 16; ++i)
            out[i] = EntryOf(kSixteenColours[i]);
        return 16;
    }
    for (int column = 0; column < 16; ++column) {
        BYTE grey = static_cast<BYTE>(column == 0 ? 0 : 16 * column - 1);
        out[column] = EntryOf(RGB(grey, grey, grey));
    }
    for (int row = 1; row <= 13; ++row) {
        const Role* roles = kRampRoles[row - 1];
        for (int column = 0; column < 16; ++column)
            out[16 * row + column] = EntryOf(RGB(RampLevel(roles[0], column),
                                                 RampLevel(roles[1], column),
                                                 RampLevel(roles[2], column)));
    }
    for (int column = 0; column < 16; ++column) {
        out[16 * 14 + column] = EntryOf(0x000000);
        out[16 * 15 + column] = EntryOf(kSixteenColours[column]);
    }
    return 256;
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
    state->palette[index] = entry;
    if (bitCount <= 8 && state->colourBitmap) {
        MemoryDC dc(nullptr);
        if (dc.Ok()) {
            SelectGuard select(dc, state->colourBitmap);
            SetDIBColorTable(dc, static_cast<UINT>(index), 1, &entry);
        }
    }
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

COLORREF IconImage::GetLeftColour() const
{
    return IsValid() ? leftColour_ : NoColour;
}

COLORREF IconImage::GetRightColour() const
{
    return IsValid() ? rightColour_ : NoColour;
}

int IconImage::GetLeftIndex() const
{
    return IsValid() ? leftIndex_ : -1;
}

int IconImage::GetRightIndex() const
{
    return IsValid() ? rightIndex_ : -1;
}

void IconImage::SetLeftIndex(int index)
{
    if (!IsValid() || index < 0 || index > GetPaletteCount())
        return;
    leftIndex_ = index;
    leftColour_ = GetPaletteColour(index);
}

void IconImage::SetRightIndex(int index)
{
    if (!IsValid() || index < 0 || index > GetPaletteCount())
        return;
    rightIndex_ = index;
    rightColour_ = GetPaletteColour(index);
}

COLORREF IconImage::SetLeftColour(COLORREF colour)
{
    if (!IsValid())
        return 0;
    leftColour_ = colour;
    leftIndex_ = IndexOfColour(colour);
    return colour;
}

COLORREF IconImage::SetRightColour(COLORREF colour)
{
    if (!IsValid())
        return 0;
    rightColour_ = colour;
    rightIndex_ = IndexOfColour(colour);
    return colour;
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
            int index = GetTransparentIndex();
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

// Only images with a palette hold an index under transparent pixels; 24- and
// 32-bit images hold black there, so they have no transparent index (-1).
int IconImage::GetTransparentIndex()
{
    if (!IsValid() || GetBitCount() > 8)
        return -1;
    if (transparentIndex_ != -1)
        return transparentIndex_;
    int size = GetSize();
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            if (IsTransparent(x, y)) {
                transparentIndex_ = GetPixelIndex(x, y);
                return transparentIndex_;
            }
    transparentIndex_ = IndexOfColour(0x000000);
    if (transparentIndex_ != -1)
        return transparentIndex_;
    transparentIndex_ = FindUnusedIndex();
    if (transparentIndex_ == -1)
        return 0;
    SetPaletteColour(transparentIndex_, 0x000000);
    return transparentIndex_;
}

// One pass marking the indices in use gives the same answer as searching the
// image once per index, without up to 256 full scans.
int IconImage::FindUnusedIndex() const
{
    if (!IsValid() || GetBitCount() > 8)
        return -1;
    bool used[256] = {};
    int size = GetSize();
    for (int x = 0; x < size; ++x)
        for (int y = 0; y < size; ++y)
            used[GetPixelIndex(x, y)] = true;
    int count = GetPaletteCount();
    for (int i = 0; i < count; ++i)
        if (!used[i])
            return i;
    return -1;
}
