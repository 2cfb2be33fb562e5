#include "views/edit_view.h"
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

void EditView::Notify(UINT message, WPARAM wParam, LPARAM lParam) const
{
    SendMessageA(GetParent(window_), message, wParam, lParam);
}

void EditView::InvalidatePixel(POINT p)
{
    RECT rect;
    PixelToCanvasRect(p.x, p.y, &rect);
    InvalidateRect(window_, &rect, FALSE);
}

void EditView::TakeSnapshot(IconImage& image)
{
    pendingSnapshot_ = image.CopyCurrentState();
    snapshotImage_ = &image;
}

// One press-move-release is one undo step: the copy taken before the first
// change becomes the undo point, or goes away when nothing changed.
void EditView::SettleSnapshot()
{
    if (changed_) {
        IconImage* image = ShownImage();
        // A snapshot only ever goes back to the image it was copied from.
        if (pendingSnapshot_ && image == snapshotImage_)
            image->CommitState(pendingSnapshot_);
        else if (pendingSnapshot_)
            IconImage::FreeState(pendingSnapshot_);
        document_.SetModified(1);
        changed_ = FALSE;
    } else if (pendingSnapshot_) {
        IconImage::FreeState(pendingSnapshot_);
    }
    pendingSnapshot_ = nullptr;
    snapshotImage_ = nullptr;
}

// A press of the other button while a stroke is still going (or whose release
// never came) ends that stroke as its release would: what it changed is
// committed as its own undo step before the new stroke starts, so nothing
// leaves the history. An unfinished rubber band is dropped.
void EditView::EndUnfinishedStroke()
{
    if (mode_ == ModeShape)
        InvalidateRect(window_, &dirty_, FALSE);
    if (mode_ == ModeShape || mode_ == ModeStroke)
        mode_ = ModeIdle;
    if (!pendingSnapshot_ && !changed_)
        return;
    bool changed = changed_ != FALSE;
    SettleSnapshot();
    if (changed)
        preview_.RefreshPreview();
}

LRESULT EditView::ButtonDown(WPARAM buttons, int x, int y)
{
    if (!document_.IsOpen())
        return 0;
    EndUnfinishedStroke();
    changed_ = FALSE;
    lastMouse_.x = x;
    lastMouse_.y = y;
    IconImage* image = ShownImage();
    if (!image)
        return 0;
    SetCapture(window_);
    if (mode_ == ModeSelection) {
        mode_ = ModeIdle;
        document_.SetSelection(nullptr, nullptr, 0);
        InvalidateRect(window_, nullptr, FALSE);
    }

    // With both buttons held the press counts as a left press.
    const bool left = (buttons & MK_LBUTTON) != 0;
    const bool held = (buttons & (MK_LBUTTON | MK_RBUTTON)) != 0;
    const POINT p = CanvasToPixel(x, y);
    switch (tool_) {
    case ToolPencil:
    case ToolEraser:
        if (held)
            StartFreehand(*image, left, p);
        break;
    case ToolFill:
        if (held)
            Fill(*image, left, p);
        break;
    case ToolPicker:
        if (held)
            PickColour(*image, left, p);
        break;
    case ToolLine:
    case ToolRectangle:
    case ToolEllipse:
        if (held)
            StartShape(*image, left, p);
        break;
    case ToolHotspot:
        if (left)
            PickHotspot(*image, p);
        break;
    case ToolSelect:
        if (left)
            StartFrame(*image, p);
        break;
    }
    return 0;
}

void EditView::StartFreehand(IconImage& image, bool left, POINT p)
{
    if (!left) {
        strokeColour_ = image.GetRightColour();
        strokeIndex_ = image.GetRightIndex();
    } else if (tool_ == ToolEraser) {
        strokeColour_ = TransparentColour;
        strokeIndex_ = image.GetPaletteCount();
    } else {
        strokeColour_ = image.GetLeftColour();
        strokeIndex_ = image.GetLeftIndex();
    }
    TakeSnapshot(image);
    mode_ = ModeStroke;
    if (!image.PaintPixel(p.x, p.y, strokeIndex_, strokeColour_))
        return;
    InvalidatePixel(p);
    changed_ = TRUE;
}

void EditView::Fill(IconImage& image, bool left, POINT p)
{
    strokeColour_ = left ? image.GetLeftColour() : image.GetRightColour();
    strokeIndex_ = left ? image.GetLeftIndex() : image.GetRightIndex();
    TakeSnapshot(image);
    mode_ = ModeStroke;
    COLORREF target = image.IsTransparent(p.x, p.y) ? TransparentColour
                                                     : image.GetPixelColour(p.x, p.y);
    if (image.FloodFill(p.x, p.y, target, strokeIndex_, strokeColour_)) {
        InvalidateRect(window_, nullptr, FALSE);
        changed_ = TRUE;
    }
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
            image.SetLeftColour(strokeColour_);
        else
            image.SetLeftIndex(strokeIndex_);
    } else {
        if (strokeIndex_ == -1)
            image.SetRightColour(strokeColour_);
        else
            image.SetRightIndex(strokeIndex_);
    }
    Notify(WM_COLOUR_PICKED, 0, 0);
}

void EditView::StartShape(IconImage& image, bool left, POINT p)
{
    strokeColour_ = left ? image.GetLeftColour() : image.GetRightColour();
    mode_ = ModeShape;
    shapeTool_ = tool_;
    start_ = p;
    end_ = p;
    PixelToCanvasRect(p.x, p.y, &dirty_);
    InvalidateRect(window_, &dirty_, FALSE);
}

void EditView::PickHotspot(IconImage& image, POINT p)
{
    start_ = p;
    TakeSnapshot(image);
    const int s = image.GetSize();
    if (p.x < 0 || p.y < 0 || p.x >= s || p.y >= s)
        return;  // the hotspot must stay inside the image
    if (image.SetHotspot(static_cast<WORD>(p.x), static_cast<WORD>(p.y))) {
        Notify(WM_HOTSPOT_CHANGED, 0, 0);
        changed_ = TRUE;
    }
}

void EditView::StartFrame(IconImage& image, POINT p)
{
    const int s = image.GetSize();
    const int g = CanvasSide / s;
    mode_ = ModeSelection;
    PixelToCanvasRect(p.x, p.y, &dirty_);
    p.x = Clamp(p.x, 0, s - 1);
    p.y = Clamp(p.y, 0, s - 1);
    end_.x = (p.x + 1) * g;
    end_.y = (p.y + 1) * g;
    start_.x = p.x * g;
    start_.y = p.y * g;
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
    switch (tool_) {
    case ToolPencil:
    case ToolEraser:
        if (held && mode_ == ModeStroke)
            ContinueFreehand(*image, x, y);
        break;
    case ToolLine:
    case ToolRectangle:
    case ToolEllipse:
        if (held && mode_ == ModeShape)
            StretchShape(x, y);
        break;
    case ToolSelect:
        if ((buttons & MK_LBUTTON) && mode_ == ModeSelection && GetCapture() == window_)
            StretchFrame(image->GetSize(), x, y);
        break;
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
    image.DrawStrokeSegment(a, b, strokeIndex_, strokeColour_);
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

// The anchor is the top-left corner of the first cell: dragging right or down
// takes in the cell under the pointer, dragging left or up stops at its near edge.
void EditView::StretchFrame(int s, int x, int y)
{
    const int g = CanvasSide / s;
    POINT e = CanvasToPixel(x, y);
    e.x = Clamp(e.x, 0, s - 1);
    e.y = Clamp(e.y, 0, s - 1);
    end_.x = e.x * g >= start_.x ? (e.x + 1) * g : e.x * g;
    end_.y = e.y * g >= start_.y ? (e.y + 1) * g : e.y * g;
    RECT r = { start_.x < end_.x ? start_.x : end_.x, start_.y < end_.y ? start_.y : end_.y,
               start_.x > end_.x ? start_.x : end_.x, start_.y > end_.y ? start_.y : end_.y };
    MoveDirtyRect(r);
}

LRESULT EditView::ButtonUp(WPARAM, int, int)
{
    if (GetCapture() == window_)
        ReleaseCapture();
    IconImage* image = ShownImage();
    if (!image) {
        // The image went away under the stroke: its copy has nowhere to go.
        if (pendingSnapshot_)
            IconImage::FreeState(pendingSnapshot_);
        pendingSnapshot_ = nullptr;
        snapshotImage_ = nullptr;
        changed_ = FALSE;
        if (mode_ != ModeSelection)
            mode_ = ModeIdle;
        return 0;
    }
    if (tool_ == ToolPicker) {
        PostMessageA(GetParent(window_), WM_COMMAND, CmdToolFirst + previousTool_, 0);
        return 0;
    }
    if (mode_ == ModeShape) {
        TakeSnapshot(*image);
        image->DrawShape(ShapeOfTool(shapeTool_), start_, end_, strokeColour_);
        InvalidateRect(window_, &dirty_, FALSE);
        changed_ = TRUE;
    } else if (mode_ == ModeSelection) {
        document_.SetSelection(&start_, &end_, CanvasSide);
    }
    if (mode_ != ModeSelection)
        mode_ = ModeIdle;
    preview_.RefreshPreview();
    SettleSnapshot();
    return 0;
}
