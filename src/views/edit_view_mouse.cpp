#include "views/edit_view.h"

#include <utility>

#include "document/icon_document.h"
#include "views/preview_view.h"
#include "win/identifiers.h"

namespace {

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

} // namespace

ShapeKind EditView::ShapeOfTool(int tool)
{
    return tool == ToolRectangle ? ShapeRectangle : tool == ToolEllipse ? ShapeEllipse : ShapeLine;
}

// An edit that could not be undone is not made: drawing it anyway would leave
// the user without the way back they count on.
bool EditView::TakeSnapshot(IconImage& image)
{
    DropSnapshot();
    pendingSnapshot_ = image.CopyCurrentState();
    if (pendingSnapshot_)
        return true;
    RefuseEdit();
    return false;
}

void EditView::DropSnapshot()
{
    pendingSnapshot_.reset();
}

// One press-move-release is one undo step: the copy taken before the first
// change becomes the undo point, or goes away when nothing changed.
void EditView::SettleSnapshot()
{
    IconImage* image = ShownImage();
    if (changed_ && image && image->GetIdentity() == dragImage_) {
        if (pendingSnapshot_)
            image->CommitState(std::move(pendingSnapshot_));
        document_.SetModified(1);
    }
    DropSnapshot();
    changed_ = FALSE;
}

LRESULT EditView::ButtonDown(WPARAM buttons, int x, int y)
{
    if (!document_.IsOpen())
        return 0;
    // A press of the other button while a stroke is still going ends that stroke
    // as its own undo step; an unfinished rubber band is dropped.
    if (dragging_) {
        dragging_ = false;
        FinishDrag(false);
    }
    changed_ = FALSE;
    lastMouse_.x = x;
    lastMouse_.y = y;
    IconImage* image = ShownImage();
    if (!image)
        return 0;
    if (document_.HasSelection()) {
        document_.ClearSelection();
        InvalidateRect(window_, nullptr, FALSE);
    }
    pressTool_ = tool_;
    dragImage_ = image->GetIdentity();
    if (!StartTool(*image, buttons, CanvasToPixel(x, y)))
        return 0;
    dragging_ = true;
    SetCapture(window_);
    return 0;
}

// False when the edit was refused before anything changed; the mouse is then
// not captured.
bool EditView::StartTool(IconImage& image, WPARAM buttons, POINT p)
{
    // With both buttons held the press counts as a left press.
    const bool left = (buttons & MK_LBUTTON) != 0;
    const bool held = (buttons & (MK_LBUTTON | MK_RBUTTON)) != 0;
    switch (tool_) {
    case ToolPencil:
    case ToolEraser:
        return !held || StartFreehand(image, left, p);
    case ToolFill:
        return !held || Fill(image, left, p);
    case ToolPicker:
        if (held)
            PickColour(image, left, p);
        break;
    case ToolLine:
    case ToolRectangle:
    case ToolEllipse:
        if (held)
            StartShape(image, left, p);
        break;
    case ToolHotspot:
        return !left || PickHotspot(image, p);
    case ToolSelect:
        if (left)
            StartFrame(image, p);
        break;
    }
    return true;
}

bool EditView::StartFreehand(IconImage& image, bool left, POINT p)
{
    if (!left) {
        strokeColour_ = image.Colours().GetRightColour();
        strokeIndex_ = image.Colours().GetRightIndex();
    } else if (tool_ == ToolEraser) {
        strokeColour_ = TransparentColour;
        strokeIndex_ = image.GetPaletteCount();
    } else {
        strokeColour_ = image.Colours().GetLeftColour();
        strokeIndex_ = image.Colours().GetLeftIndex();
    }
    if (!TakeSnapshot(image))
        return false;
    mode_ = ModeStroke;
    if (PaintPixel(image, p.x, p.y, strokeIndex_, strokeColour_)) {
        InvalidatePixel(p);
        changed_ = TRUE;
    }
    return true;
}

bool EditView::Fill(IconImage& image, bool left, POINT p)
{
    strokeColour_ = left ? image.Colours().GetLeftColour() : image.Colours().GetRightColour();
    strokeIndex_ = left ? image.Colours().GetLeftIndex() : image.Colours().GetRightIndex();
    if (!TakeSnapshot(image))
        return false;
    mode_ = ModeStroke;
    COLORREF target = image.IsTransparent(p.x, p.y) ? TransparentColour
                                                     : image.GetPixelColour(p.x, p.y);
    if (FloodFill(image, p.x, p.y, target, strokeIndex_, strokeColour_)) {
        InvalidateRect(window_, nullptr, FALSE);
        changed_ = TRUE;
    }
    return true;
}

void EditView::PickColour(IconImage& image, bool left, POINT p)
{
    const int s = image.GetSize();
    if (p.x < 0 || p.y < 0 || p.x >= s || p.y >= s)
        return;  // off the image there is no colour to take
    if (image.IsTransparent(p.x, p.y)) {
        strokeColour_ = TransparentColour;
        strokeIndex_ = image.GetPaletteCount();
    } else {
        strokeColour_ = image.GetPixelColour(p.x, p.y);
        strokeIndex_ = image.GetPixelIndex(p.x, p.y);
    }
    if (left) {
        if (strokeIndex_ == -1)
            image.Colours().SetLeftColour(strokeColour_);
        else
            image.Colours().SetLeftIndex(strokeIndex_);
    } else {
        if (strokeIndex_ == -1)
            image.Colours().SetRightColour(strokeColour_);
        else
            image.Colours().SetRightIndex(strokeIndex_);
    }
    Notify(WM_COLOUR_PICKED, 0, 0);
}

void EditView::StartShape(IconImage& image, bool left, POINT p)
{
    strokeColour_ = left ? image.Colours().GetLeftColour() : image.Colours().GetRightColour();
    mode_ = ModeShape;
    start_ = p;
    end_ = p;
    PixelToCanvasRect(p.x, p.y, &dirty_);
    InvalidateRect(window_, &dirty_, FALSE);
}

bool EditView::PickHotspot(IconImage& image, POINT p)
{
    start_ = p;
    const int s = image.GetSize();
    if (p.x < 0 || p.y < 0 || p.x >= s || p.y >= s)
        return true;  // the hotspot must stay inside the image
    const Hotspot hotspot = image.GetHotspot();
    if (hotspot.x == p.x && hotspot.y == p.y)
        return true;
    if (!TakeSnapshot(image))
        return false;
    image.SetHotspot(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
    Notify(WM_HOTSPOT_CHANGED, 0, 0);
    changed_ = TRUE;
    return true;
}

void EditView::StartFrame(IconImage& image, POINT p)
{
    const int s = image.GetSize();
    mode_ = ModeSelection;
    PixelToCanvasRect(p.x, p.y, &dirty_);
    p.x = Clamp(p.x, 0, s - 1);
    p.y = Clamp(p.y, 0, s - 1);
    start_.x = FrameCorner(p.x);
    start_.y = FrameCorner(p.y);
    end_.x = FrameCorner(p.x + 1);
    end_.y = FrameCorner(p.y + 1);
    InvalidateRect(window_, nullptr, FALSE);
}

LRESULT EditView::MouseMove(WPARAM buttons, int x, int y)
{
    if (!document_.IsOpen()) {
        Notify(WM_CURSOR_POSITION, 0, 0);
        return 0;
    }
    IconImage* image = ShownImage();
    if (!image)
        return 0;

    // Each drag continues only in the mode its own press started, so a button
    // pressed elsewhere and dragged in does not draw or move anything.
    const bool held = (buttons & (MK_LBUTTON | MK_RBUTTON)) != 0;
    if (dragging_ && image->GetIdentity() == dragImage_) {
        switch (mode_) {
        case ModeStroke:
            if (held && pressTool_ != ToolFill)
                ContinueFreehand(*image, x, y);
            break;
        case ModeShape:
            if (held)
                StretchShape(x, y);
            break;
        case ModeSelection:
            if (buttons & MK_LBUTTON)
                StretchFrame(image->GetSize(), x, y);
            break;
        }
    }

    RECT client;
    GetClientRect(window_, &client);
    POINT point = { x, y };
    if (PtInRect(&client, point)) {
        POINT p = CanvasToPixel(x, y);
        Notify(WM_CURSOR_POSITION, static_cast<WPARAM>(p.x), static_cast<LPARAM>(p.y));
    }
    return 0;
}

void EditView::ContinueFreehand(IconImage& image, int x, int y)
{
    POINT a = CanvasToPixel(lastMouse_.x, lastMouse_.y);
    POINT b = CanvasToPixel(x, y);
    // A step the system cannot draw ends the stroke where it stood.
    if (!DrawStrokeSegment(image, a, b, strokeIndex_, strokeColour_)) {
        RefuseEdit();
        EndDrag();
        return;
    }
    RECT ra, rb, both;
    PixelToCanvasRect(a.x, a.y, &ra);
    PixelToCanvasRect(b.x, b.y, &rb);
    UnionRect(&both, &ra, &rb);
    InvalidateRect(window_, &both, FALSE);
    UpdateWindow(window_);
    changed_ = TRUE;
    lastMouse_.x = x;
    lastMouse_.y = y;
}

void EditView::MoveDirtyRect(const RECT& now)
{
    RECT both;
    UnionRect(&both, &dirty_, &now);
    InvalidateRect(window_, &both, FALSE);
    dirty_ = now;
    UpdateWindow(window_);
}

void EditView::StretchShape(int x, int y)
{
    end_ = CanvasToPixel(x, y);
    RECT rs, re, r;
    PixelToCanvasRect(start_.x, start_.y, &rs);
    PixelToCanvasRect(end_.x, end_.y, &re);
    UnionRect(&r, &rs, &re);
    MoveDirtyRect(r);
}

// The anchor is the top-left corner of the first pixel: dragging right or down
// takes in the pixel under the pointer, dragging left or up stops at its near edge.
void EditView::StretchFrame(int s, int x, int y)
{
    POINT e = CanvasToPixel(x, y);
    e.x = Clamp(e.x, 0, s - 1);
    e.y = Clamp(e.y, 0, s - 1);
    end_.x = FrameCorner(e.x) >= start_.x ? FrameCorner(e.x + 1) : FrameCorner(e.x);
    end_.y = FrameCorner(e.y) >= start_.y ? FrameCorner(e.y + 1) : FrameCorner(e.y);
    RECT r = { start_.x < end_.x ? start_.x : end_.x, start_.y < end_.y ? start_.y : end_.y,
               start_.x > end_.x ? start_.x : end_.x, start_.y > end_.y ? start_.y : end_.y };
    MoveDirtyRect(r);
}

LRESULT EditView::ButtonUp(WPARAM, int, int)
{
    if (dragging_)
        EndDrag();
    else if (GetCapture() == window_)
        ReleaseCapture();
    return 0;
}

// Another window took the mouse (Alt+Tab, a menu, a dialog, another program):
// the drag ends here as its release would, or it would never end.
LRESULT EditView::OnCaptureChanged(HWND gaining)
{
    if (dragging_ && gaining != window_) {
        dragging_ = false;
        FinishDrag(true);
    }
    return 0;
}

void EditView::EndDrag()
{
    const bool wasDragging = dragging_;
    // Cleared first: releasing the capture reports back through WM_CAPTURECHANGED.
    dragging_ = false;
    if (GetCapture() == window_)
        ReleaseCapture();
    if (wasDragging)
        FinishDrag(true);
}

// What a release does. A drag cut short by a press of the other button keeps a
// stroke but drops a shape not yet drawn. Nothing reaches an image the drag did
// not start on: a command may have replaced it meanwhile.
void EditView::FinishDrag(bool released)
{
    IconImage* image = ShownImage();
    const int mode = mode_;
    mode_ = ModeIdle;
    if (!image || image->GetIdentity() != dragImage_) {
        DropSnapshot();
        changed_ = FALSE;
        InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    if (pressTool_ == ToolPicker) {
        if (released)
            PostMessageA(GetParent(window_), WM_COMMAND, CmdToolFirst + previousTool_, 0);
        return;
    }
    if (mode == ModeShape) {
        InvalidateRect(window_, &dirty_, FALSE);
        if (released && TakeSnapshot(*image)) {
            if (DrawShape(*image, ShapeOfTool(pressTool_), start_, end_, strokeColour_))
                changed_ = TRUE;
            else
                RefuseEdit();
        }
    } else if (mode == ModeSelection) {
        // Each corner lies on the first canvas column of its pixel (FrameCorner),
        // so the truncated conversion gives that pixel back.
        const int s = image->GetSize();
        document_.SetSelection(RECT{ start_.x * s / CanvasSide, start_.y * s / CanvasSide,
                                     end_.x * s / CanvasSide, end_.y * s / CanvasSide });
        InvalidateRect(window_, nullptr, FALSE);
    }
    preview_.RefreshPreview();
    SettleSnapshot();
}
