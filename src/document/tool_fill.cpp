#include "document/canvas_tool.h"

#include "document/icon_document.h"

namespace {

// A fill of a region that already has the colour changes nothing and leaves no step.
class FillTool : public CanvasTool
{
public:
    FillTool(IconDocument& document, ToolView& view) : CanvasTool(document, view) {}

    void Release(bool) override { edit_.Commit(); }
    ToolDrag Dragging() const override { return edit_.IsOpen() ? ToolDrag::Stroke : ToolDrag::None; }

private:
    bool OnPress(IconImage& image, MouseButtons buttons, POINT p) override
    {
        if (!buttons.Held())
            return true;
        const COLORREF colour = buttons.left ? image.Colours().GetLeftColour() : image.Colours().GetRightColour();
        const int index = buttons.left ? image.Colours().GetLeftIndex() : image.Colours().GetRightIndex();
        edit_ = BeginPixelEdit(EditWhat::Pixels);
        if (!edit_.IsOpen())
            return false;
        const COLORREF target = image.IsTransparent(p.x, p.y) ? TransparentColour : image.GetPixelColour(p.x, p.y);
        if (FloodFill(image, p.x, p.y, target, index, colour)) {
            view_.RepaintAll();
            edit_.MarkChanged();
        }
        return true;
    }

    ImageEdit edit_;
};

} // namespace

std::unique_ptr<CanvasTool> MakeFillTool(IconDocument& document, ToolView& view)
{
    return std::unique_ptr<CanvasTool>(new FillTool(document, view));
}
