#pragma once
#include <windows.h>
#include "win/handle_guards.h"

// An image list of `count` side x side glyphs cut from a bitmap resource, its
// white showing as transparent. Null, with nothing left behind, when the list
// or its glyphs cannot be made.
OwnedImageList LoadGlyphList(HINSTANCE module, int bitmapId, int side, UINT colourFlag, int count);
