#pragma once
// One snapshot of an image: its pixels, mask, palette and hotspot. Only the state
// on screen holds the two DIB sections; the others keep the same bytes in one
// plain block, colour rows first, with no GDI object at all.
#include <windows.h>

#include <cstddef>
#include <memory>

#include "model/image_format.h"
#include "model/image_pixels.h"

class ImageState
{
public:
    // A state of the format with both DIB sections made (colour table from the
    // palette up to 8 bits), every byte zero, and a copy of the palette (the
    // default one when none is given); null when refused or out of memory.
    static std::unique_ptr<ImageState> WithSections(int size, int bitCount, const RGBQUAD* palette);
    ~ImageState();
    ImageState(const ImageState&) = delete;
    ImageState& operator=(const ImageState&) = delete;
    ImageState(ImageState&& other) noexcept;
    ImageState& operator=(ImageState&& other) noexcept;

    int Size() const { return size_; }
    int BitCount() const { return bitCount_; }
    bool SameFormat(const ImageState& other) const;
    bool HasSections() const { return colourBitmap_ != nullptr; }
    HBITMAP ColourBitmap() const { return colourBitmap_; }
    HBITMAP MaskBitmap() const { return maskBitmap_; }
    BYTE* ColourBits() const { return colourBits_; }
    BYTE* MaskBits() const { return maskBits_; }
    RGBQUAD* Palette() const { return palette_.get(); }
    size_t ColourBytes() const;
    size_t MaskBytes() const;
    size_t PaletteBytes() const;
    Hotspot GetHotspot() const { return hotspot_; }
    void SetHotspot(Hotspot hotspot) { hotspot_ = hotspot; }

    // When the state was recorded or last left the screen, in the order of the
    // budget its history counts against.
    ULONGLONG GetStep() const { return step_; }
    void SetStep(ULONGLONG step) { step_ = step; }

    // The memory a recorded step holds: its bytes, its palette and its records
    // (the state and its node in the history's list).
    size_t HeldBytes() const;
    // Two links and the owning pointer.
    static constexpr size_t kListNodeBytes = 3 * sizeof(void*);

    // A copy in plain memory; null when memory runs out.
    std::unique_ptr<ImageState> PlainCopy() const;
    // Gives up the sections for plain memory; false (state unchanged) when memory
    // runs out.
    bool MoveToPlainMemory();
    // Gives this state's sections (it leaves the screen) to the plain state to,
    // of the same format: the bytes are exchanged in place, so no GDI object and
    // no memory is made. False, with both unchanged, when the colour table cannot
    // be loaded (the section selected in another DC, GDI out of resources).
    bool HandOverSections(ImageState& to);
    // Takes the bytes, palette and hotspot of other, of the same format, in
    // place (the sections stay); false, with this state unchanged, when the
    // colour table cannot be loaded.
    bool TakeContentOf(const ImageState& other);

private:
    ImageState() = default;
    void Swap(ImageState& other) noexcept;
    // Loads table into the colour section; false, with its own table kept,
    // when GDI refuses.
    bool LoadColourTable(const RGBQUAD* table);

    int size_ = 0;
    int bitCount_ = 0;
    HBITMAP colourBitmap_ = nullptr;
    HBITMAP maskBitmap_ = nullptr;
    BYTE* colourBits_ = nullptr;         // in the colour section, or the plain block
    BYTE* maskBits_ = nullptr;           // in the mask section, or the plain block
    std::unique_ptr<BYTE[]> plain_;      // colour then mask, without sections
    std::unique_ptr<RGBQUAD[]> palette_; // 2, 16 or 256 entries
    Hotspot hotspot_ = { 0, 0 };
    ULONGLONG step_ = 0;
};

inline RGBQUAD EntryOf(COLORREF colour)
{
    RGBQUAD entry;
    entry.rgbBlue = GetBValue(colour);
    entry.rgbGreen = GetGValue(colour);
    entry.rgbRed = GetRValue(colour);
    entry.rgbReserved = 0;
    return entry;
}

inline COLORREF ColourOf(const RGBQUAD& entry)
{
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}
