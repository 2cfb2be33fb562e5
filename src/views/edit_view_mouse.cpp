#include "views/edit_view.h"

#include <utility>

#include "document/icon_document.h"
#include "win/identifiers.h"

namespace {

// With both buttons held a press counts as a left press.
MouseButtons ButtonsOf(WPARAM buttons)
{
    return MouseButtons{ (buttons & MK_LBUTTON) != 0, (buttons & MK_RBUTTON) != 0 };
}

} // namespace

// ---- What the tools ask of the canvas ------------------------------------------

void EditView::RepaintPixels(POINT a, POINT b, bool now)
{
    RECT ra, rb, both;
    PixelToCanvasRect(a.x, a.y, &ra);
    PixelToCanvasRect(b.x, b.y, &rb);
    UnionRect(&both, &ra, &rb);
    Repaint(&both, FALSE);
    if (now)
        UpdateWindow(window_);
}

void EditView::RepaintAll()
{
    Repaint(nullptr, FALSE);
}

ToolPreview EditView::ActivePreview() const
{
    return active_ ? active_->Preview() : ToolPreview();
}

RECT EditView::PreviewExtent(const ToolPreview& preview) const
{
    RECT extent = {};
    if (preview.kind == ToolPreview::Shape) {
        RECT rs, re;
        PixelToCanvasRect(preview.start.x, preview.start.y, &rs);
        PixelToCanvasRect(preview.end.x, preview.end.y, &re);
        UnionRect(&extent, &rs, &re);
    } else if (preview.kind == ToolPreview::Frame) {
        const int x0 = FrameCorner(preview.start.x), x1 = FrameCorner(preview.end.x);
        const int y0 = FrameCorner(preview.start.y), y1 = FrameCorner(preview.end.y);
        SetRect(&extent, x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, x0 > x1 ? x0 : x1, y0 > y1 ? y0 : y1);
    }
    return extent;
}

// Only what the preview covered and covers now is repainted, so the canvas
// follows the mouse without repainting the whole image at each step.
void EditView::RepaintPreview(bool now)
{
    const RECT extent = PreviewExtent(ActivePreview());
    RECT both;
    UnionRect(&both, &dirty_, &extent);
    Repaint(&both, FALSE);
    dirty_ = extent;
    if (now)
        UpdateWindow(window_);
}

void EditView::Refuse()
{
    RefuseEdit();
}

// ---- Mouse ----------------------------------------------------------------------

LRESULT EditView::ButtonDown(WPARAM buttons, int x, int y)
{
    if (!document_.IsOpen())
        return 0;
    // A press of the other button while a stroke is still going ends that stroke
    // as its own undo step; an unfinished rubber band is dropped.
    if (active_)
        FinishDrag(std::move(active_), false);
    if (!ShownImage())
        return 0;
    if (document_.HasSelection()) {
        document_.ClearSelection();
        Repaint(nullptr, FALSE);
    }
    const POINT p = CanvasToPixel(x, y);
    PixelToCanvasRect(p.x, p.y, &dirty_);
    active_ = MakeTool(tool_, document_, *this);
    // Refused before anything changed: the mouse is not captured.
    if (!active_ || !active_->Press(ButtonsOf(buttons), p)) {
        active_.reset();
        return 0;
    }
    SetCapture(window_);
    return 0;
}

LRESULT EditView::MouseMove(WPARAM buttons, int x, int y)
{
    if (!document_.IsOpen()) {
        Notify(VM_CURSOR_POSITION, 0, 0);
        return 0;
    }
    if (!ShownImage())
        return 0;

    // Each drag continues only with the tool its own press started, so a button
    // pressed elsewhere and dragged in does not draw or move anything.
    if (active_ && active_->OnItsImage() && !active_->Drag(ButtonsOf(buttons), CanvasToPixel(x, y))) {
        RefuseEdit();
        EndDrag();
    }

    RECT client;
    GetClientRect(window_, &client);
    POINT point = { x, y };
    if (PtInRect(&client, point)) {
        POINT p = CanvasToPixel(x, y);
        Notify(VM_CURSOR_POSITION, static_cast<WPARAM>(p.x), static_cast<LPARAM>(p.y));
    }
    return 0;
}

LRESULT EditView::ButtonUp(WPARAM, int, int)
{
    if (active_)
        EndDrag();
    else if (GetCapture() == window_)
        ReleaseCapture();
    return 0;
}

// Another window took the mouse (Alt+Tab, a menu, a dialog, another program):
// the drag ends here as its release would, or it would never end.
LRESULT EditView::OnCaptureChanged(HWND gaining)
{
    if (active_ && gaining != window_)
        FinishDrag(std::move(active_), true);
    return 0;
}

void EditView::EndDrag()
{
    // Taken first: releasing the capture reports back through WM_CAPTURECHANGED.
    std::unique_ptr<CanvasTool> tool = std::move(active_);
    if (GetCapture() == window_)
        ReleaseCapture();
    if (tool)
        FinishDrag(std::move(tool), true);
}

// What a release does. Nothing reaches an image the drag did not start on: a
// command may have replaced it meanwhile, and the tool is then given up.
void EditView::FinishDrag(std::unique_ptr<CanvasTool> tool, bool released)
{
    if (!tool->OnItsImage()) {
        tool.reset();
        Repaint(nullptr, FALSE);
        return;
    }
    if (tool->HandsBack()) {
        if (released)
            PostMessageA(GetParent(window_), WM_COMMAND, IDM_PENCIL + previousTool_, 0);
        return;
    }
    tool->Release(released);
}
