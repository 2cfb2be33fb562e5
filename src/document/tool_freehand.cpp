#include "document/canvas_tool.h"

#include "document/icon_document.h"

namespace {

// Pencil and eraser: one press-move-release is one undo step. The eraser's
// right button paints with the right colour, as the pencil's does.
class FreehandTool : public CanvasTool
{
public:
    FreehandTool(IconDocument& document, ToolView& view, bool eraser) : CanvasTool(document, view), eraser_(eraser) {}

    bool Drag(MouseButtons buttons, POINT p) override
    {
        IconImage* image = edit_.Image();
        if (!buttons.Held() || !image)
            return true;
        // A step the system cannot draw ends the stroke where it stood.
        if (!DrawStrokeSegment(*image, last_, p, index_, colour_))
            return false;
        view_.RepaintPixels(last_, p, true);
        edit_.MarkChanged();
        last_ = p;
        return true;
    }

    void Release(bool) override { edit_.Commit(); }
    ToolDrag Dragging() const override { return edit_.IsOpen() ? ToolDrag::Stroke : ToolDrag::None; }

private:
    bool OnPress(IconImage& image, MouseButtons buttons, POINT p) override
    {
        if (!buttons.Held())
            return true;
        if (!buttons.left) {
            colour_ = image.Colours().GetRightColour();
            index_ = image.Colours().GetRightIndex();
        } else if (eraser_) {
            colour_ = TransparentColour;
            index_ = image.GetPaletteCount();
        } else {
            colour_ = image.Colours().GetLeftColour();
            index_ = image.Colours().GetLeftIndex();
        }
        edit_ = BeginPixelEdit(EditWhat::Pixels);
        if (!edit_.IsOpen())
            return false;
        last_ = p;
        // A pixel off the image is refused by the image and changes nothing.
        if (PaintPixel(image, p.x, p.y, index_, colour_)) {
            view_.RepaintPixels(p, p, false);
            edit_.MarkChanged();
        }
        return true;
    }

    const bool eraser_;
    COLORREF colour_ = 0;
    int index_ = 0;
    POINT last_ = {};
    ImageEdit edit_;
};

} // namespace

std::unique_ptr<CanvasTool> MakeFreehandTool(IconDocument& document, ToolView& view, bool eraser)
{
    return std::unique_ptr<CanvasTool>(new FreehandTool(document, view, eraser));
}
