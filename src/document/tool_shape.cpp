#include "document/canvas_tool.h"

#include "document/icon_document.h"

namespace {

// Line, rectangle and ellipse: previewed while dragged, drawn on release with
// the same strokes, as one undo step whether or not a pixel changed.
class ShapeTool : public CanvasTool
{
public:
    ShapeTool(IconDocument& document, ToolView& view, ShapeKind shape) : CanvasTool(document, view), shape_(shape) {}

    bool Drag(MouseButtons buttons, POINT p) override
    {
        if (buttons.Held() && dragging_) {
            end_ = p;
            view_.RepaintPreview(true);
        }
        return true;
    }

    void Release(bool released) override
    {
        if (!dragging_)
            return;
        dragging_ = false;
        view_.RepaintPreview(false);
        if (!released)
            return;
        ImageEdit edit = BeginPixelEdit(EditWhat::Pixels);
        IconImage* image = edit.Image();
        if (!image)
            return;
        if (!DrawShape(*image, shape_, start_, end_, colour_)) {
            view_.Refuse();
            return;
        }
        edit.MarkChanged();
        edit.Commit();
    }

    ToolDrag Dragging() const override { return dragging_ ? ToolDrag::Shape : ToolDrag::None; }

    ToolPreview Preview() const override
    {
        ToolPreview preview;
        if (dragging_) {
            preview.kind = ToolPreview::Shape;
            preview.shape = shape_;
            preview.start = start_;
            preview.end = end_;
            preview.colour = colour_;
        }
        return preview;
    }

private:
    bool OnPress(IconImage& image, MouseButtons buttons, POINT p) override
    {
        if (!buttons.Held())
            return true;
        colour_ = buttons.left ? image.Colours().GetLeftColour() : image.Colours().GetRightColour();
        start_ = end_ = p;
        dragging_ = true;
        view_.RepaintPreview(false);
        return true;
    }

    const ShapeKind shape_;
    COLORREF colour_ = 0;
    POINT start_ = {};
    POINT end_ = {};
    bool dragging_ = false;
};

} // namespace

std::unique_ptr<CanvasTool> MakeShapeTool(IconDocument& document, ToolView& view, ShapeKind shape)
{
    return std::unique_ptr<CanvasTool>(new ShapeTool(document, view, shape));
}
