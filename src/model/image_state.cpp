#include "model/image_state.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "win/gdi_guards.h"

namespace {

// The BITMAPINFO block lives only for the CreateDIBSection call.
HBITMAP CreateSection(int size, int bitCount, const RGBQUAD* table, int tableCount, BYTE** bits)
{
    *bits = nullptr;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * tableCount]());
    if (!block)
        return nullptr;
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(block.get());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = size;
    info->bmiHeader.biHeight = size;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info->bmiHeader.biCompression = BI_RGB;
    if (tableCount > 0)
        std::memcpy(info->bmiColors, table, sizeof(RGBQUAD) * tableCount);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bitmap && !memory) {
        DeleteObject(bitmap);
        return nullptr;
    }
    *bits = static_cast<BYTE*>(memory);
    return bitmap;
}

} // namespace

ImageState::~ImageState()
{
    if (colourBitmap_)
        DeleteObject(colourBitmap_);
    if (maskBitmap_)
        DeleteObject(maskBitmap_);
}

ImageState::ImageState(ImageState&& other) noexcept
{
    Swap(other);
}

ImageState& ImageState::operator=(ImageState&& other) noexcept
{
    // What this state held goes with other.
    Swap(other);
    return *this;
}

void ImageState::Swap(ImageState& other) noexcept
{
    std::swap(size_, other.size_);
    std::swap(bitCount_, other.bitCount_);
    std::swap(colourBitmap_, other.colourBitmap_);
    std::swap(maskBitmap_, other.maskBitmap_);
    std::swap(colourBits_, other.colourBits_);
    std::swap(maskBits_, other.maskBits_);
    std::swap(plain_, other.plain_);
    std::swap(palette_, other.palette_);
    std::swap(hotspot_, other.hotspot_);
    std::swap(step_, other.step_);
}

std::unique_ptr<ImageState> ImageState::WithSections(int size, int bitCount, const RGBQUAD* palette)
{
    if (!IsAcceptedSize(size) || !IsAcceptedBitCount(bitCount))
        return nullptr;
    std::unique_ptr<ImageState> state(new (std::nothrow) ImageState);
    const int count = PaletteCountOf(bitCount);
    if (!state)
        return nullptr;
    state->palette_.reset(new (std::nothrow) RGBQUAD[count]());
    if (!state->palette_)
        return nullptr;
    state->size_ = size;
    state->bitCount_ = bitCount;
    // Without a palette from the caller the state gets the default one rather than
    // an all-black table, which would make every pixel look alike.
    if (palette)
        std::memcpy(state->palette_.get(), palette, sizeof(RGBQUAD) * count);
    else
        DefaultPalette(bitCount, state->palette_.get());
    state->colourBitmap_ = CreateSection(size, bitCount, state->palette_.get(), bitCount <= 8 ? count : 0,
                                         &state->colourBits_);
    const RGBQUAD blackWhite[2] = { { 0, 0, 0, 0 }, { 0xFF, 0xFF, 0xFF, 0 } };
    state->maskBitmap_ = CreateSection(size, 1, blackWhite, 2, &state->maskBits_);
    if (!state->colourBitmap_ || !state->maskBitmap_)
        return nullptr;
    std::memset(state->colourBits_, 0, state->ColourBytes());
    std::memset(state->maskBits_, 0, state->MaskBytes());
    return state;
}

bool ImageState::SameFormat(const ImageState& other) const
{
    return size_ == other.size_ && bitCount_ == other.bitCount_;
}

size_t ImageState::ColourBytes() const
{
    return size_t(RowStride(size_, bitCount_)) * size_;
}

size_t ImageState::MaskBytes() const
{
    return size_t(RowStride(size_, 1)) * size_;
}

size_t ImageState::PaletteBytes() const
{
    return sizeof(RGBQUAD) * PaletteCountOf(bitCount_);
}

size_t ImageState::HeldBytes() const
{
    return sizeof(ImageState) + kListNodeBytes + PaletteBytes() + ColourBytes() + MaskBytes();
}

std::unique_ptr<ImageState> ImageState::PlainCopy() const
{
    std::unique_ptr<ImageState> copy(new (std::nothrow) ImageState);
    if (!copy)
        return nullptr;
    const int count = PaletteCountOf(bitCount_);
    copy->palette_.reset(new (std::nothrow) RGBQUAD[count]);
    // Pixels then mask in one block, so that a plain state is three allocations.
    copy->plain_.reset(new (std::nothrow) BYTE[ColourBytes() + MaskBytes()]);
    if (!copy->palette_ || !copy->plain_)
        return nullptr;
    copy->size_ = size_;
    copy->bitCount_ = bitCount_;
    copy->hotspot_ = hotspot_;
    copy->step_ = step_;
    std::memcpy(copy->palette_.get(), palette_.get(), PaletteBytes());
    copy->colourBits_ = copy->plain_.get();
    copy->maskBits_ = copy->plain_.get() + ColourBytes();
    std::memcpy(copy->colourBits_, colourBits_, ColourBytes());
    std::memcpy(copy->maskBits_, maskBits_, MaskBytes());
    return copy;
}

bool ImageState::MoveToPlainMemory()
{
    if (!colourBitmap_ && !maskBitmap_)
        return true;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[ColourBytes() + MaskBytes()]);
    if (!block)
        return false;
    GdiFlush();
    std::memcpy(block.get(), colourBits_, ColourBytes());
    std::memcpy(block.get() + ColourBytes(), maskBits_, MaskBytes());
    DeleteObject(colourBitmap_);
    DeleteObject(maskBitmap_);
    colourBitmap_ = maskBitmap_ = nullptr;
    plain_ = std::move(block);
    colourBits_ = plain_.get();
    maskBits_ = plain_.get() + ColourBytes();
    return true;
}

bool ImageState::HandOverSections(ImageState& to)
{
    // The colour table goes first: GDI may refuse it (the section selected in
    // another DC, no memory), and then nothing has moved yet.
    if (bitCount_ <= 8 && !LoadColourTable(to.palette_.get()))
        return false;
    // Drawing through GDI may still be queued on the sections.
    GdiFlush();
    std::swap_ranges(colourBits_, colourBits_ + ColourBytes(), to.colourBits_);
    std::swap_ranges(maskBits_, maskBits_ + MaskBytes(), to.maskBits_);
    std::swap(colourBitmap_, to.colourBitmap_);
    std::swap(maskBitmap_, to.maskBitmap_);
    std::swap(colourBits_, to.colourBits_);
    std::swap(maskBits_, to.maskBits_);
    std::swap(plain_, to.plain_);
    return true;
}

bool ImageState::TakeContentOf(const ImageState& other)
{
    if (!SameFormat(other))
        return false;
    if (colourBitmap_ && bitCount_ <= 8 && !LoadColourTable(other.palette_.get()))
        return false;
    GdiFlush();
    std::memcpy(colourBits_, other.colourBits_, ColourBytes());
    std::memcpy(maskBits_, other.maskBits_, MaskBytes());
    std::memcpy(palette_.get(), other.palette_.get(), PaletteBytes());
    hotspot_ = other.hotspot_;
    return true;
}

bool ImageState::LoadColourTable(const RGBQUAD* table)
{
    MemoryDC dc(nullptr);
    if (!dc.Ok())
        return false;
    SelectGuard select(dc, colourBitmap_);
    if (!select.Ok())
        return false;
    const UINT count = UINT(PaletteCountOf(bitCount_));
    if (SetDIBColorTable(dc, 0, count, table) == count)
        return true;
    // A table loaded in part is put back as it was.
    SetDIBColorTable(dc, 0, count, palette_.get());
    return false;
}
