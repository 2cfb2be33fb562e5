#include "shell/colour_swatch.h"

#include "document/icon_document.h"
#include "shell/editor.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

namespace {

// The transparent colour shows as the grey and white check of bitmap 114.
HBRUSH MakeColourBrush(COLORREF colour, HBITMAP pattern)
{
    if (colour == TransparentColour)
        return pattern ? CreatePatternBrush(pattern) : nullptr;
    return CreateSolidBrush(colour);
}

void FillWith(HDC dc, const RECT& area, COLORREF colour, HBITMAP pattern)
{
    OwnedBrush brush(MakeColourBrush(colour, pattern));
    if (brush.Ok())
        FillRect(dc, &area, brush);
}

}  // namespace

LRESULT DrawColourSwatch(Editor& editor, const DRAWITEMSTRUCT* item)
{
    if (!item || !editor.shell.swatch || item->hwndItem != editor.shell.swatch)
        return 0;
    IconDocument& document = editor.document;
    const IconImage* image = document.IsOpen() ? document.GetCurrentImage() : nullptr;
    if (!image) {
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return 0;
    }
    OwnedBitmap pattern(LoadBitmapA(editor.shell.instance, MAKEINTRESOURCEA(IDB_TRANSPARENT_PATTERN)));
    const RECT& whole = item->rcItem;
    const int thirdWidth = (whole.right - whole.left) / 3;
    const int thirdHeight = (whole.bottom - whole.top) / 3;

    RECT back = whole;
    back.left += thirdWidth;
    back.top += thirdHeight;
    FillWith(item->hDC, back, image->Colours().GetRightColour(), pattern);

    RECT front = whole;
    front.right -= thirdWidth;
    front.bottom -= thirdHeight;
    FillWith(item->hDC, front, image->Colours().GetLeftColour(), pattern);
    return 0;
}
