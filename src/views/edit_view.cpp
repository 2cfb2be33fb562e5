#include "views/edit_view.h"
#include "document/icon_document.h"

#include <cstring>
#include <new>

#include "views/preview_view.h"
#include "views/pixel_buffer.h"
#include "views/shown_pixels.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

namespace {

const char* const kClassName = "WndIconEditClass";
const COLORREF kSelectionColour = RGB(0, 100, 0);

} // namespace

EditView::EditView(IconDocument& document)
    : document_(document)
{
    document_.AddObserver(this);
}

// A drag cut off by the end of the process is given up: its edit puts the
// image back as it found it.
EditView::~EditView()
{
    active_.reset();
    document_.RemoveObserver(this);
}

void EditView::DocumentChanged(unsigned changes)
{
    if (changes & (ChangePixels | ChangePalette | ChangeImageList))
        keptValid_ = false;
}

ATOM EditView::RegisterEditViewClass()
{
    return Register(kClassName, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE));
}

HWND EditView::CreateEditView(HWND parent)
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (int i = 0; i < 4; ++i)
        toolCursors_[i] = LoadCursorA(module, MAKEINTRESOURCEA(IDC_PENCIL_CURSOR + i));
    const RECT box = { 141, 62, 141 + CanvasSide + 2, 62 + CanvasSide + 2 };
    return CreateChild(kClassName, WS_EX_LEFT, WS_CHILD | WS_VISIBLE | WS_BORDER, box, parent);
}

IconImage* EditView::ShownImage() const
{
    if (!document_.IsOpen())
        return nullptr;
    IconImage* image = document_.GetCurrentImage();
    return image && image->IsValid() ? image : nullptr;
}

int EditView::ImageSize() const
{
    IconImage* image = ShownImage();
    return image ? image->GetSize() : 0;
}

void EditView::SetTool(int tool)
{
    if (tool < ToolPencil || tool > ToolSelect)
        return;
    if (tool_ != ToolPicker)
        previousTool_ = tool_;
    tool_ = tool;
}

// A drag in progress owns the canvas until its release; selecting everything
// in the middle of one would mix the frame with the stroke's points.
void EditView::SelectWholeImage()
{
    const int mode = GetMode();
    if (!ShownImage() || mode == ModeStroke || mode == ModeShape)
        return;
    document_.SelectAll();
    Repaint(nullptr, FALSE);
}

int EditView::GetMode() const
{
    switch (active_ ? active_->Dragging() : ToolDrag::None) {
    case ToolDrag::Stroke: return ModeStroke;
    case ToolDrag::Shape:  return ModeShape;
    case ToolDrag::Frame:  return ModeSelection;
    case ToolDrag::None:   break;
    }
    return FrameShown(nullptr) ? ModeSelection : ModeIdle;
}

// A frame's corner in canvas units is rounded up, so that c * size / 256,
// truncated, gives the pixel back: on 48 and 72 pixel images a pixel is not a
// whole number of canvas units wide.
int EditView::FrameCorner(int px) const
{
    const int s = ImageSize();
    return s > 0 ? (px * CanvasSide + s - 1) / s : 0;
}

// The frame being dragged, or else the document's selection.
bool EditView::FrameShown(RECT* frame) const
{
    RECT shown;
    const ToolPreview preview = ActivePreview();
    if (preview.kind == ToolPreview::Frame) {
        SetRect(&shown, FrameCorner(preview.start.x), FrameCorner(preview.start.y), FrameCorner(preview.end.x),
                FrameCorner(preview.end.y));
    } else if (document_.HasSelection() && ShownImage()) {
        const RECT selected = document_.GetSelection();
        SetRect(&shown, FrameCorner(selected.left), FrameCorner(selected.top), FrameCorner(selected.right),
                FrameCorner(selected.bottom));
    } else {
        return false;
    }
    if (frame)
        *frame = shown;
    return true;
}

POINT EditView::CanvasToPixel(int x, int y) const
{
    const int s = ImageSize();
    POINT p = { x * s / CanvasSide, y * s / CanvasSide };
    return p;
}

void EditView::PixelToCanvasRect(int px, int py, RECT* rect) const
{
    const int s = ImageSize();
    if (s <= 0 || !rect)
        return;
    rect->left = px * CanvasSide / s;
    rect->top = py * CanvasSide / s;
    rect->right = (px * CanvasSide + CanvasSide) / s + 1;
    rect->bottom = (py * CanvasSide + CanvasSide) / s + 1;
}

void EditView::Notify(UINT message, WPARAM wParam, LPARAM lParam) const
{
    SendMessageA(GetParent(window_), message, wParam, lParam);
}

// Posted, not sent: the main window tells the user once the mouse is free.
void EditView::RefuseEdit() const
{
    PostMessageA(GetParent(window_), VM_EDIT_REFUSED, 0, 0);
}

void EditView::DrawRubberBand(HDC dc, const ToolPreview& preview) const
{
    COLORREF colour = preview.colour == TransparentColour ? GetSysColor(COLOR_BTNFACE) : preview.colour;
    OwnedPen pen(CreatePen(PS_SOLID, 1, colour));
    if (!pen.Ok())
        return;
    DrawShapeOutline(dc, pen, preview.shape, preview.start, preview.end);
}

// The image, and a shape being dragged, at image resolution: the shape is
// drawn with the primitive that will commit it, so it shows the very pixels.
// Only the pixels under the canvas area `shown` are composed.
bool EditView::ComposeShown(const IconImage& image, const RECT& shown, PixelBuffer& into) const
{
    const POINT first = CanvasToPixel(shown.left, shown.top);
    const POINT last = CanvasToPixel(shown.right - 1, shown.bottom - 1);
    const RECT part = { first.x, first.y, last.x + 1, last.y + 1 };
    if (!ComposeOverFace(image, into, &part))
        return false;
    const ToolPreview preview = ActivePreview();
    if (preview.kind == ToolPreview::Shape) {
        DrawRubberBand(into.Context(), preview);
        GdiFlush();
    }
    return true;
}

void EditView::Repaint(const RECT* area, BOOL erase)
{
    keptValid_ = false;
    if (window_)
        InvalidateRect(window_, area, erase);
}

void EditView::RepaintImage(bool erase)
{
    Repaint(nullptr, erase ? TRUE : FALSE);
}

void EditView::DrawFrame(HDC dc) const
{
    RECT frame;
    if (!FrameShown(&frame))
        return;
    OwnedPen dotted(CreatePen(PS_DOT, 1, kSelectionColour));
    if (!dotted.Ok())
        return;
    SelectGuard keepPen(dc, dotted);
    SelectGuard keepBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
}

// Kept only when it can be made; without it every paint composes, as before.
void EditView::KeepComposed(const PixelBuffer& canvas, const IconImage& image)
{
    if (!kept_)
        kept_.reset(new (std::nothrow) PixelBuffer(canvas.Context(), CanvasSide, CanvasSide));
    if (!kept_ || !kept_->Ok()) {
        kept_.reset();
        return;
    }
    GdiFlush();
    std::memcpy(kept_->Row(0), canvas.Row(0), sizeof(DWORD) * CanvasSide * CanvasSide);
    keptValid_ = true;
    keptImage_ = image.GetIdentity();
    keptFace_ = GetSysColor(COLOR_BTNFACE);
}

// Zoomed by the canvas's own mapping rather than StretchBlt's, whose choice of
// source column differs between systems: a click, a frame corner and the cell
// shown then always agree.
void EditView::Paint(HDC dc)
{
    IconImage* image = ShownImage();
    if (!image)
        return;
    const int s = image->GetSize();
    RECT shown = { 0, 0, CanvasSide, CanvasSide };
    RECT clip;
    if (GetClipBox(dc, &clip) != ERROR)
        IntersectRect(&shown, &shown, &clip);
    if (IsRectEmpty(&shown))
        return;
    const bool plain = ActivePreview().kind != ToolPreview::Shape;
    if (plain && keptValid_ && kept_ && keptImage_ == image->GetIdentity()
        && keptFace_ == GetSysColor(COLOR_BTNFACE)) {
        BitBlt(dc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, kept_->Context(),
               shown.left, shown.top, SRCCOPY);
        DrawFrame(dc);
        return;
    }
    PixelBuffer canvas(dc, CanvasSide, CanvasSide);
    if (!canvas.Ok())
        return;
    if (s == CanvasSide) {
        if (!ComposeShown(*image, shown, canvas))
            return;
    } else {
        PixelBuffer actual(dc, s, s);
        if (!actual.Ok() || !ComposeShown(*image, shown, actual))
            return;
        ZoomInto(actual, canvas);
    }
    const RECT whole = { 0, 0, CanvasSide, CanvasSide };
    if (plain && EqualRect(&shown, &whole))
        KeepComposed(canvas, *image);
    DrawFrame(canvas.Context());
    BitBlt(dc, 0, 0, CanvasSide, CanvasSide, canvas.Context(), 0, 0, SRCCOPY);
}

// The tool cursors come from LoadCursorA and are shared with the module: they
// must not be destroyed, only forgotten.
LRESULT EditView::OnDestroy()
{
    for (HCURSOR& cursor : toolCursors_)
        cursor = nullptr;
    kept_.reset();
    keptValid_ = false;
    return 0;
}

LRESULT EditView::OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT)
        return Default(msg, wParam, lParam);
    HCURSOR cursor = nullptr;
    if (!document_.IsOpen())
        cursor = LoadCursorA(nullptr, IDC_ARROW);
    else if (tool_ >= ToolPencil && tool_ <= ToolEraser)
        cursor = toolCursors_[tool_];
    else
        cursor = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cursor);
    return 0;
}

LRESULT EditView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Mouse positions are signed: a captured drag reports points left of or above the canvas.
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (msg) {
    case WM_DESTROY:     return OnDestroy();
    case WM_SETCURSOR:   return OnSetCursor(msg, wParam, lParam);
    case WM_MOUSEMOVE:   return MouseMove(wParam, x, y);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: return ButtonDown(wParam, x, y);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:   return ButtonUp(wParam, x, y);
    case WM_CAPTURECHANGED: return OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    case WM_CANCELMODE:  EndDrag(); return 0;
    }
    return Default(msg, wParam, lParam);
}
