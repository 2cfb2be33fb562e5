#include "views/palette_view.h"
#include <commdlg.h>
#include "document/icon_document.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

const char* const kClassName = "WndPaletteClass";
const char* const kCaption = "Couleur transparente :";
const char* const kTransparentRefusal =
    " Cet index est utilisé pour la couleur transparente. \n Vous ne pouvez pas le modifier.";
const int kPitch = 10;
const int kColumns = 16;
const RECT kTransparentCell = { 110, 167, 120, 177 };
const RECT kTransparentFrame = { 109, 166, 121, 178 };

// The grid index under a point, without the transparent cell; -1 outside the
// sixteen columns (the gap right of the last column belongs to no cell).
int GridIndex(int x, int y)
{
    if (x < 0 || y < 0)
        return -1;
    int column = x / kPitch;
    if (column >= kColumns)
        return -1;
    return (y / kPitch) * kColumns + column;
}

// The caption ends before the transparent cell: where the system's font is
// wider than the one the layout was made for, its letters are narrowed to fit.
void DrawCaption(HDC dc, RECT caption)
{
    HGDIOBJ guiFont = GetStockObject(DEFAULT_GUI_FONT);
    SelectGuard keep(dc, guiFont);
    const int room = kTransparentFrame.left - 2 - caption.left;
    // Drawn wide: the ANSI calls would read the text in the system's code page.
    const std::wstring text = WideText(kCaption);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
    LOGFONTW shape = {};
    TEXTMETRICW metrics = {};
    GdiObject<HFONT> narrowed;
    if (extent.cx > room && GetObjectW(guiFont, sizeof shape, &shape) && GetTextMetricsW(dc, &metrics)) {
        shape.lfWidth = metrics.tmAveCharWidth * room / extent.cx;
        narrowed.Reset(CreateFontIndirectW(&shape));
    }
    SelectGuard narrow(dc, narrowed.Get());
    caption.right = caption.left + room;
    DrawTextW(dc, text.c_str(), int(text.size()), &caption, DT_NOCLIP);
}

} // namespace

ATOM PaletteView::RegisterPaletteClass()
{
    return Register(kClassName, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE));
}

HWND PaletteView::CreatePaletteView(HWND parent)
{
    const RECT box = { 447, 212, 447 + 161, 212 + 185 };
    return CreateChild(kClassName, 0, WS_CHILD | WS_VISIBLE, box, parent);
}

IconImage* PaletteView::ShownImage() const
{
    if (!document_ || !document_->IsOpen())
        return nullptr;
    IconImage* image = document_->GetCurrentImage();
    return image && image->IsValid() ? image : nullptr;
}

int PaletteView::HitTest(int x, int y) const
{
    IconImage* image = ShownImage();
    if (!image)
        return -1;
    const int n = image->GetPaletteCount();
    POINT point = { x, y };
    if (PtInRect(&kTransparentCell, point))
        return n;
    int index = GridIndex(x, y);
    return index < n ? index : -1;
}

void PaletteView::Paint(HDC dc)
{
    IconImage* image = ShownImage();
    if (!image)
        return;
    RECT client;
    GetClientRect(window_, &client);
    const int n = image->GetPaletteCount();
    const int left = image->Colours().GetLeftIndex();
    // The frames are drawn with the context's default pen and brush.
    SelectGuard pen(dc, GetStockObject(BLACK_PEN));
    SelectGuard brush(dc, GetStockObject(WHITE_BRUSH));
    for (int i = 0; i < n; ++i) {
        const int x = kPitch * (i % kColumns), y = kPitch * (i / kColumns);
        if (i == left)
            Rectangle(dc, x, y, x + 11, y + 11);
        OwnedBrush fill(CreateSolidBrush(image->GetPaletteColour(i)));
        RECT cell = { x + 1, y + 1, x + 10, y + 10 };
        if (fill.Ok())
            FillRect(dc, &cell, fill);
    }

    RECT caption = client;
    caption.top = caption.bottom - 20;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawCaption(dc, caption);
    SetBkMode(dc, oldMode);

    if (left == n)
        Rectangle(dc, kTransparentFrame.left, kTransparentFrame.top, kTransparentFrame.right,
                  kTransparentFrame.bottom);
    FillRect(dc, &kTransparentCell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

LRESULT PaletteView::OnButtonUp(bool left, int x, int y)
{
    IconImage* image = ShownImage();
    if (!image)
        return 0;
    int index = HitTest(x, y);
    if (index < 0)
        return 0;
    // The document tells who shows the colours, this view among them.
    document_->SetPaintingIndex(left, index);
    return 0;
}

LRESULT PaletteView::OnDoubleClick(int x, int y)
{
    IconImage* image = ShownImage();
    if (!image)
        return 0;
    // The transparent cell is not an entry: only the grid can be edited.
    int index = GridIndex(x, y);
    if (index < 0 || index >= image->GetPaletteCount())
        return 0;
    if (image->GetBitCount() <= 8 && index == image->GetTransparentIndex()) {
        MessageBoxText(window_, kTransparentRefusal, AppTitle, MB_ICONINFORMATION);
        return 0;
    }

    COLORREF custom[16];
    for (COLORREF& c : custom)
        c = 0x00FFFFFF;
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = window_;
    choose.rgbResult = image->GetPaletteColour(index);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&choose))
        return 0;
    // The image may have changed while the dialog ran its own message loop.
    image = ShownImage();
    if (!image || index >= image->GetPaletteCount())
        return 0;
    if (choose.rgbResult == image->GetPaletteColour(index))
        return 0;
    ImageEdit edit = document_->BeginEdit(EditWhat::Palette);
    if (!edit.IsOpen() || !image->SetPaletteColour(index, choose.rgbResult)) {
        PostMessageA(GetParent(window_), VM_EDIT_REFUSED, 0, 0);
        return 0;
    }
    // The entry edited becomes the left colour, told with the edit.
    image->Colours().SetLeftIndex(index);
    edit.MarkChanged();
    edit.Commit();
    return 0;
}

LRESULT PaletteView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Client coordinates are taken unsigned, as the low and high words.
    const int x = LOWORD(lParam), y = HIWORD(lParam);
    switch (msg) {
    case WM_LBUTTONUP:     return OnButtonUp(true, x, y);
    case WM_RBUTTONUP:     return OnButtonUp(false, x, y);
    case WM_LBUTTONDBLCLK: return OnDoubleClick(x, y);
    }
    return Default(msg, wParam, lParam);
}
