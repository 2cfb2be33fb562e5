#include "model/image_state.h"

#include <algorithm>
#include <cstring>

#include "win/gdi_guards.h"

namespace {

void* HeapZero(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void HeapRelease(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
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

size_t PaletteBytesOf(const ImageState* state)
{
    return sizeof(RGBQUAD) * PaletteCountOf(state->colourHeader.biBitCount);
}

// Pixels then mask in one block, so that a plain state is three allocations.
BYTE* NewPixelBlock(const ImageState* state)
{
    return static_cast<BYTE*>(
        HeapAlloc(GetProcessHeap(), 0, ColourBytesOf(state) + MaskBytesOf(state)));
}

} // namespace

void IconImage::FreeState(ImageState* state)
{
    if (!state)
        return;
    if (state->colourBitmap)
        DeleteObject(state->colourBitmap);
    else
        HeapRelease(state->colourBits);          // the plain block, mask included
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
    const RGBQUAD blackWhite[2] = { { 0, 0, 0, 0 }, { 0xFF, 0xFF, 0xFF, 0 } };
    state->maskBitmap = CreateSection(state->maskHeader, blackWhite, 2, &state->maskBits);
    if (!state->colourBitmap || !state->maskBitmap) {
        FreeState(state);
        return nullptr;
    }
    std::memset(state->colourBits, 0, ColourBytesOf(state));
    std::memset(state->maskBits, 0, MaskBytesOf(state));
    return state;
}

size_t HeldBytesOf(const ImageState* state)
{
    return sizeof(ImageState) + sizeof(HistoryNode) + PaletteBytesOf(state) +
           ColourBytesOf(state) + MaskBytesOf(state);
}

ImageState* PlainCopyOf(const ImageState* source)
{
    ImageState* copy = static_cast<ImageState*>(HeapZero(sizeof(ImageState)));
    if (!copy)
        return nullptr;
    *copy = *source;
    copy->colourBitmap = nullptr;
    copy->maskBitmap = nullptr;
    copy->colourBits = nullptr;
    copy->palette = static_cast<RGBQUAD*>(HeapZero(PaletteBytesOf(source)));
    BYTE* block = copy->palette ? NewPixelBlock(source) : nullptr;
    if (!block) {
        IconImage::FreeState(copy);
        return nullptr;
    }
    std::memcpy(copy->palette, source->palette, PaletteBytesOf(source));
    // The pixel memory is what the sections hold, not the image's kept colour
    // byte count: an imported bitmap may declare more bytes than its section has.
    copy->colourBits = block;
    copy->maskBits = block + ColourBytesOf(source);
    std::memcpy(copy->colourBits, source->colourBits, ColourBytesOf(source));
    std::memcpy(copy->maskBits, source->maskBits, MaskBytesOf(source));
    return copy;
}

bool MoveToPlainMemory(ImageState* state)
{
    if (!state->colourBitmap && !state->maskBitmap)
        return true;
    BYTE* block = NewPixelBlock(state);
    if (!block)
        return false;
    GdiFlush();
    std::memcpy(block, state->colourBits, ColourBytesOf(state));
    std::memcpy(block + ColourBytesOf(state), state->maskBits, MaskBytesOf(state));
    DeleteObject(state->colourBitmap);
    DeleteObject(state->maskBitmap);
    state->colourBitmap = state->maskBitmap = nullptr;
    state->colourBits = block;
    state->maskBits = block + ColourBytesOf(state);
    return true;
}

bool HandOverSections(ImageState* from, ImageState* to)
{
    const int bitCount = to->colourHeader.biBitCount;
    MemoryDC dc(nullptr);
    if (bitCount <= 8 && !dc.Ok())
        return false;
    // Drawing through GDI may still be queued on the sections.
    GdiFlush();
    std::swap_ranges(from->colourBits, from->colourBits + ColourBytesOf(from), to->colourBits);
    std::swap_ranges(from->maskBits, from->maskBits + MaskBytesOf(from), to->maskBits);
    std::swap(from->colourBitmap, to->colourBitmap);
    std::swap(from->colourBits, to->colourBits);
    std::swap(from->maskBitmap, to->maskBitmap);
    std::swap(from->maskBits, to->maskBits);
    if (bitCount <= 8) {
        SelectGuard select(dc, to->colourBitmap);
        SetDIBColorTable(dc, 0, UINT(PaletteCountOf(bitCount)), to->palette);
    }
    return true;
}
