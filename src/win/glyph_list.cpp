#include "win/glyph_list.h"

OwnedImageList LoadGlyphList(HINSTANCE module, int bitmapId, int side, UINT colourFlag, int count)
{
    OwnedImageList list(ImageList_Create(side, side, colourFlag | ILC_MASK, count, count));
    if (!list.Ok())
        return list;
    // The list keeps copies of the glyphs; the strip itself goes here.
    const OwnedBitmap glyphs(LoadBitmapA(module, MAKEINTRESOURCEA(bitmapId)));
    if (!glyphs.Ok() || ImageList_AddMasked(list, glyphs, RGB(255, 255, 255)) < 0)
        list.Reset();
    return list;
}
