#include "views/preview_view.h"
#include "document/icon_document.h"
#include "views/pixel_buffer.h"
#include "views/shown_pixels.h"
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

// Up to 24 bits and at actual size, the system's way of drawing an icon, 1:1
// and without an off-screen copy, over the background the window was erased
// to. An image with alpha, or one too big for the box, is composed over the
// same background first, then shrunk by a whole factor.
void PreviewView::Paint(HDC dc)
{
    if (!document_.IsOpen())
        return;
    IconImage* image = document_.GetCurrentImage();
    if (!image || !image->IsValid())
        return;
    const int s = image->GetSize();
    const int factor = ShrinkFactor(s, kPreviewSide);
    const int side = (s + factor - 1) / factor;
    const int o = (kPreviewSide - side) / 2;
    const RECT whole = { 0, 0, s, s };
    if (factor == 1 && !ShowsAlpha(*image)) {
        const RECT centred = { o, o, o + s, o + s };
        ComposeImage(dc, centred, MaskedPicture{ image->GetMaskBitmap(), image->GetColourBitmap() }, whole);
        return;
    }
    PixelBuffer actual(dc, s, s);
    if (!actual.Ok() || !ComposeOverFace(*image, actual))
        return;
    if (factor == 1) {
        BitBlt(dc, o, o, s, s, actual.Context(), 0, 0, SRCCOPY);
        return;
    }
    PixelBuffer shrunk(dc, side, side);
    if (!shrunk.Ok())
        return;
    ShrinkInto(actual, shrunk, factor);
    BitBlt(dc, o, o, side, side, shrunk.Context(), 0, 0, SRCCOPY);
}
