#pragma once
#include <windows.h>

// The two bitmaps of a picture drawn the way the system draws an icon: where a
// mask bit is set the background stays, ORed with whatever colour lies there.
struct MaskedPicture
{
    HBITMAP mask;
    HBITMAP colour;
};

// Composes part of a picture over a background into a context: the mask ANDed
// in, then the colour ORed over it. `from` is the part of the bitmaps, `to` the
// rectangle of the target it lands in, stretched when the two differ in size.
// A background brush, when given, fills `to` first; without one the picture
// lands over what the target already shows. False when no context could be
// made to read the bitmaps from.
bool ComposeImage(HDC target, const RECT& to, const MaskedPicture& picture, const RECT& from,
                  HBRUSH background = nullptr);
