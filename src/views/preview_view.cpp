#include "views/preview_view.h"
#include "document/icon_document.h"
#include "win/compose_image.h"

namespace {
const char* const kClassName = "WndIconPreviewClass";
const int kPreviewSide = 128;
}

ATOM PreviewView::RegisterPreviewClass()
{
    return Register(kClassName, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE));
}

HWND PreviewView::CreatePreview(HWND parent)
{
    const RECT box = { 463, 52, 463 + kPreviewSide, 52 + kPreviewSide };
    return CreateChild(kClassName, WS_EX_LEFT, WS_CHILD | WS_VISIBLE, box, parent);
}

void PreviewView::RefreshPreview()
{
    if (window_)
        InvalidateRect(window_, nullptr, TRUE);
}

// The system's way of drawing an icon, 1:1 and without an off-screen copy,
// over the background the window was erased to.
void PreviewView::Paint(HDC dc)
{
    if (!document_.IsOpen())
        return;
    IconImage* image = document_.GetCurrentImage();
    if (!image || !image->IsValid())
        return;
    const int s = image->GetSize();
    const int o = (kPreviewSide - s) / 2;
    const RECT whole = { 0, 0, s, s };
    const RECT centred = { o, o, o + s, o + s };
    ComposeImage(dc, centred, MaskedPicture{ image->GetMaskBitmap(), image->GetColourBitmap() }, whole);
}
