#include "document/canvas_tool.h"

#include "document/icon_document.h"

namespace {

// Takes a pixel's colour as the painting colour of the button pressed. The
// painting colours are not content: no edit, no undo step.
class PickerTool : public CanvasTool
{
public:
    PickerTool(IconDocument& document, ToolView& view) : CanvasTool(document, view) {}

    void Release(bool) override {}
    bool HandsBack() const override { return true; }

private:
    bool OnPress(IconImage& image, MouseButtons buttons, POINT p) override
    {
        const int s = image.GetSize();
        if (!buttons.Held() || p.x < 0 || p.y < 0 || p.x >= s || p.y >= s)
            return true;  // off the image there is no colour to take
        const bool transparent = image.IsTransparent(p.x, p.y) != 0;
        const COLORREF colour = transparent ? TransparentColour : image.GetPixelColour(p.x, p.y);
        // -1 on images without a palette: the colour itself is taken.
        const int index = transparent ? image.GetPaletteCount() : image.GetPixelIndex(p.x, p.y);
        if (index == -1)
            document_.SetPaintingColour(buttons.left, colour);
        else
            document_.SetPaintingIndex(buttons.left, index);
        return true;
    }
};

} // namespace

std::unique_ptr<CanvasTool> MakePickerTool(IconDocument& document, ToolView& view)
{
    return std::unique_ptr<CanvasTool>(new PickerTool(document, view));
}
