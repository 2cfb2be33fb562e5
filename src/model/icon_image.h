#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "model/image_format.h"
#include "model/image_history.h"
#include "model/image_pixels.h"
#include "model/image_state.h"
#include "model/painting_colours.h"

// One square image of a document with its own undo history. Every pixel,
// palette and hotspot operation works on the current state. The drawing tools
// and transforms are free functions (drawing.h, transforms.h).
class IconImage
{
public:
    // Building and releasing. Both builders leave the image as it was when they
    // refuse (a format the editor does not take, memory or GDI objects run out),
    // and otherwise replace it and its history: hotspot at the centre unless the
    // pixels give one inside the image, painting colours entry 0 and the last entry.
    bool CreateBlank(int size, int bitCount);
    bool LoadPixels(const ImagePixels& pixels);
    void Reset();

    // Tells images apart for the life of the process; an address may be reused.
    unsigned long GetIdentity() const { return identity_; }

    // Format and the bytes of the current state, null while the image is empty.
    bool IsValid() const;
    int GetSize() const;
    int GetBitCount() const;
    int GetPaletteCount() const;
    // "32x32x8-bits", or empty.
    std::string GetFormatText() const;
    HBITMAP GetColourBitmap() const;
    HBITMAP GetMaskBitmap() const;
    const BYTE* GetColourBits() const;
    const BYTE* GetMaskBits() const;
    const RGBQUAD* GetPalette() const;

    // Hotspot; (0, 0) while the image is empty.
    Hotspot GetHotspot() const;
    bool SetHotspot(WORD x, WORD y);

    // Palette
    COLORREF GetPaletteColour(int index) const;
    bool SetPaletteColour(int index, COLORREF colour);
    int IndexOfColour(COLORREF colour) const;

    PaintingColours& Colours() { return colours_; }
    const PaintingColours& Colours() const { return colours_; }

    // Pixels
    bool IsTransparent(int x, int y) const;
    COLORREF GetPixelColour(int x, int y) const;
    int GetPixelIndex(int x, int y) const;
    bool SetPixelIndex(int x, int y, int index);
    // A painted colour is opaque (alpha 255 on 32 bits).
    bool SetPixelColour(int x, int y, COLORREF colour);
    // A colour with its alpha, on 24 and 32 bits: alpha 0 is transparent (mask
    // bit set, colour part black); 24-bit pixels show any other alpha as opaque.
    bool SetPixelRgba(int x, int y, COLORREF colour, BYTE alpha);
    // Transparent: mask bit set, on 32 bits alpha 0. Taken back: mask bit clear,
    // alpha 255.
    bool SetTransparent(int x, int y, bool on);
    // The index transparent pixels hold or will hold, when already determined:
    // a pure query. SettleTransparentIndex, used as a transparent pixel is
    // painted, may turn an unused entry black when there is none yet
    // (transparent_index.cpp).
    int GetTransparentIndex() const;
    int SettleTransparentIndex();
    int FindUnusedIndex() const;

    // History. The copy holds no GDI object; null when memory runs out, and then
    // the edit it was for must be refused. A committed state is always taken:
    // when it cannot be recorded (false) it is released.
    std::unique_ptr<ImageState> CopyCurrentState() const;
    bool CommitState(std::unique_ptr<ImageState> state);
    // Puts a copy taken by CopyCurrentState back on screen without a step:
    // an edit given up leaves the image as it found it. False when refused.
    bool RestoreState(const ImageState& state);
    bool CanUndo() const;
    bool CanRedo() const;
    // False, and nothing moves, when the target state cannot be put on screen.
    bool Undo();
    bool Redo();
    // Its budget and the bytes its steps hold.
    const ImageHistory& History() const { return history_; }

private:
    friend class HistoryBudget;
    friend class RawPixels;
    ImageState* CurrentState() const { return history_.Current(); }
    bool TakeFirstState(std::unique_ptr<ImageState> state, Hotspot hotspot);
    BYTE* PixelAddress(int x, int y) const;
    BYTE* MaskByteAddress(int x, int y) const;
    static unsigned long NewIdentity();

    unsigned long identity_ = NewIdentity();
    ImageHistory history_;
    PaintingColours colours_{ *this };
    int transparentIndex_ = -1;
};
