#include "views/preview_view.h"
#include "document/icon_document.h"
#include "win/gdi_guards.h"
#include "win/view_window.h"
#include "win/window_object.h"

namespace {
const char* const kClassName = "WndIconPreviewClass";
const int kPreviewSide = 128;
}

ATOM PreviewView::RegisterPreviewClass()
{
    return RegisterViewClass(kClassName, WndProc);
}

HWND PreviewView::CreatePreview(HWND parent)
{
    return CreateWindowExA(WS_EX_LEFT, kClassName, "", WS_CHILD | WS_VISIBLE, 463, 52,
                           kPreviewSide, kPreviewSide, parent, nullptr, GetModuleHandleA(nullptr),
                           this);
}

void PreviewView::RefreshPreview()
{
    if (window_)
        InvalidateRect(window_, nullptr, TRUE);
}

// The system's way of drawing an icon, 1:1 and without an off-screen copy:
// the mask ANDed into the background, then the colour part ORed over it.
void PreviewView::Paint(HDC dc)
{
    if (!document_.IsOpen())
        return;
    IconImage* image = document_.GetCurrentImage();
    if (!image || !image->IsValid())
        return;
    const int s = image->GetSize();
    const int o = (kPreviewSide - s) / 2;
    MemoryDC source(dc);
    if (!source.Ok())
        return;
    HGDIOBJ old = SelectObject(source, image->GetMaskBitmap());
    BitBlt(dc, o, o, s, s, source, 0, 0, SRCAND);
    SelectObject(source, image->GetColourBitmap());
    BitBlt(dc, o, o, s, s, source, 0, 0, SRCPAINT);
    SelectObject(source, old);
}

LRESULT PreviewView::OnCreate(HWND hwnd)
{
    window_ = hwnd;
    return 0;
}

LRESULT PreviewView::OnPaint()
{
    return PaintView(window_, [this](HDC dc) { Paint(dc); });
}

LRESULT PreviewView::OnPrintClient(HDC dc, LPARAM flags)
{
    return PrintView(window_, dc, flags, [this](HDC target) { Paint(target); });
}

LRESULT CALLBACK PreviewView::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
        AttachObject(hwnd, lParam);
    PreviewView* self = ObjectOf<PreviewView>(hwnd);
    if (!self)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_CREATE:      return self->OnCreate(hwnd);
    case WM_PAINT:       return self->OnPaint();
    case WM_PRINTCLIENT: return self->OnPrintClient(reinterpret_cast<HDC>(wParam), lParam);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
