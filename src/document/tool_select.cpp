#include "document/canvas_tool.h"

#include "document/icon_document.h"

namespace {

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

// Drags a selection frame on the pixel grid with the left button. The anchor
// is the top-left corner of the first pixel: dragging right or down takes in
// the pixel under the pointer, dragging left or up stops at its near edge.
class SelectTool : public CanvasTool
{
public:
    SelectTool(IconDocument& document, ToolView& view) : CanvasTool(document, view) {}

    bool Drag(MouseButtons buttons, POINT p) override
    {
        IconImage* image = document_.GetCurrentImage();
        if (!buttons.left || !dragging_ || !image)
            return true;
        const int s = image->GetSize();
        const POINT e = { Clamp(p.x, 0, s - 1), Clamp(p.y, 0, s - 1) };
        end_.x = e.x >= anchor_.x ? e.x + 1 : e.x;
        end_.y = e.y >= anchor_.y ? e.y + 1 : e.y;
        view_.RepaintPreview(true);
        return true;
    }

    // A drag cut short by the other button still leaves its frame.
    void Release(bool) override
    {
        if (!dragging_)
            return;
        dragging_ = false;
        document_.SetSelection(RECT{ anchor_.x, anchor_.y, end_.x, end_.y });
        view_.RepaintAll();
    }

    ToolDrag Dragging() const override { return dragging_ ? ToolDrag::Frame : ToolDrag::None; }

    ToolPreview Preview() const override
    {
        ToolPreview preview;
        if (dragging_) {
            preview.kind = ToolPreview::Frame;
            preview.start = anchor_;
            preview.end = end_;
        }
        return preview;
    }

private:
    bool OnPress(IconImage& image, MouseButtons buttons, POINT p) override
    {
        if (!buttons.left)
            return true;
        const int s = image.GetSize();
        anchor_ = POINT{ Clamp(p.x, 0, s - 1), Clamp(p.y, 0, s - 1) };
        end_ = POINT{ anchor_.x + 1, anchor_.y + 1 };
        dragging_ = true;
        view_.RepaintAll();
        return true;
    }

    POINT anchor_ = {};
    POINT end_ = {};
    bool dragging_ = false;
};

} // namespace

std::unique_ptr<CanvasTool> MakeSelectTool(IconDocument& document, ToolView& view)
{
    return std::unique_ptr<CanvasTool>(new SelectTool(document, view));
}
