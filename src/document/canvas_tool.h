#pragma once
// The canvas tools: one small object per press-move-release, working on the
// document's current image through an ImageEdit. They know pixels only; the
// window that shows the image (ToolView) keeps coordinates, capture and
// painting. A new tool is a new tool_*.cpp and one line of MakeTool.
#include <windows.h>

#include <memory>

#include "document/image_edit.h"
#include "model/drawing.h"

class IconDocument;

// The buttons held; with both, a press counts as a left press.
struct MouseButtons
{
    bool left;
    bool right;
    bool Held() const { return left || right; }
};

// What the canvas draws over the image while a tool drags: a shape outline
// (start and end are pixels) or a selection frame (start and end are pixel
// edges, in either order).
struct ToolPreview
{
    enum Kind { None, Shape, Frame };
    Kind kind = None;
    ShapeKind shape = ShapeLine;
    POINT start = {};
    POINT end = {};
    COLORREF colour = 0;
};

// What a tool asks of the window showing the image.
class ToolView
{
public:
    // The cells of pixels a and b, and those between, changed; repainted at once when now.
    virtual void RepaintPixels(POINT a, POINT b, bool now) = 0;
    virtual void RepaintAll() = 0;
    // The preview moved or ended: what it covered and what it covers now.
    virtual void RepaintPreview(bool now) = 0;
    // An edit that could not be made: the user is told once the mouse is free.
    virtual void Refuse() = 0;

protected:
    ~ToolView() = default;
};

// The state of a drag, for the canvas.
enum class ToolDrag { None, Stroke, Shape, Frame };

class CanvasTool
{
public:
    CanvasTool(IconDocument& document, ToolView& view) : document_(document), view_(view) {}
    virtual ~CanvasTool() = default;
    CanvasTool(const CanvasTool&) = delete;
    CanvasTool& operator=(const CanvasTool&) = delete;

    // The press on pixel p of the current image (which may lie off it). False
    // when the edit was refused before anything changed: there is no drag then.
    bool Press(MouseButtons buttons, POINT p);
    // A move with the buttons held; false when the step was refused and the
    // drag must end.
    virtual bool Drag(MouseButtons, POINT) { return true; }
    // The end of the drag: released by the user, or cut short by a press of
    // the other button (a stroke is kept, a shape not yet drawn is dropped).
    virtual void Release(bool released) = 0;
    virtual ToolDrag Dragging() const { return ToolDrag::None; }
    virtual ToolPreview Preview() const { return ToolPreview(); }
    // The picker hands the canvas back to the tool used before it on release.
    virtual bool HandsBack() const { return false; }
    // Whether the drag still works on the image it began on: a command may have
    // replaced or switched it meanwhile, and nothing then reaches the new one.
    bool OnItsImage() const;

protected:
    virtual bool OnPress(IconImage& image, MouseButtons buttons, POINT p) = 0;
    // A pixel edit, or a closed one after telling the user it was refused.
    ImageEdit BeginPixelEdit(EditWhat what);

    IconDocument& document_;
    ToolView& view_;

private:
    unsigned long identity_ = 0;
};

// The tool of a tool number (win/identifiers.h), null for none.
std::unique_ptr<CanvasTool> MakeTool(int tool, IconDocument& document, ToolView& view);

// One factory per tool file.
std::unique_ptr<CanvasTool> MakeFreehandTool(IconDocument& document, ToolView& view, bool eraser);
std::unique_ptr<CanvasTool> MakeFillTool(IconDocument& document, ToolView& view);
std::unique_ptr<CanvasTool> MakePickerTool(IconDocument& document, ToolView& view);
std::unique_ptr<CanvasTool> MakeShapeTool(IconDocument& document, ToolView& view, ShapeKind shape);
std::unique_ptr<CanvasTool> MakeHotspotTool(IconDocument& document, ToolView& view);
std::unique_ptr<CanvasTool> MakeSelectTool(IconDocument& document, ToolView& view);
