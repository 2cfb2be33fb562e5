#include "win/compose_image.h"
#include "win/gdi_guards.h"

namespace {

void Blit(HDC target, const RECT& to, HDC source, const RECT& from, DWORD operation)
{
    const int toWidth = to.right - to.left, toHeight = to.bottom - to.top;
    const int fromWidth = from.right - from.left, fromHeight = from.bottom - from.top;
    if (toWidth == fromWidth && toHeight == fromHeight)
        BitBlt(target, to.left, to.top, toWidth, toHeight, source, from.left, from.top, operation);
    else
        StretchBlt(target, to.left, to.top, toWidth, toHeight, source, from.left, from.top, fromWidth,
                   fromHeight, operation);
}

} // namespace

bool ComposeImage(HDC target, const RECT& to, const MaskedPicture& picture, const RECT& from,
                  HBRUSH background)
{
    if (background)
        FillRect(target, &to, background);
    MemoryDC source(target);
    if (!source.Ok())
        return false;
    {
        SelectGuard keep(source, picture.mask);
        Blit(target, to, source, from, SRCAND);
    }
    SelectGuard keep(source, picture.colour);
    Blit(target, to, source, from, SRCPAINT);
    return true;
}
