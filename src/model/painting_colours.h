#pragma once
// The two colours an image is painted with, the left and the right mouse
// button's: each a palette index (the transparent index included) or, on 24 and
// 32 bits, a colour the palette need not hold (index -1).
#include <windows.h>

class IconImage;

class PaintingColours
{
public:
    explicit PaintingColours(const IconImage& image) : image_(image) {}

    // NoColour or -1 while the image is empty.
    COLORREF GetLeftColour() const;
    COLORREF GetRightColour() const;
    int GetLeftIndex() const;
    int GetRightIndex() const;
    // An index past the palette and its transparent index is ignored.
    void SetLeftIndex(int index);
    void SetRightIndex(int index);
    // The colour is taken with its lowest exact entry, or -1; it is returned.
    COLORREF SetLeftColour(COLORREF colour);
    COLORREF SetRightColour(COLORREF colour);

private:
    struct Colour
    {
        COLORREF colour = 0;
        int index = 0;
    };
    void SetIndex(Colour& which, int index);
    COLORREF SetColour(Colour& which, COLORREF colour);

    const IconImage& image_;
    Colour left_;
    Colour right_;
};
