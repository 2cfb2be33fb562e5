#include "document/canvas_tool.h"

#include "document/icon_document.h"

namespace {

// The left button moves the hotspot to the pixel clicked, inside the image;
// clicking the current hotspot again is no change.
class HotspotTool : public CanvasTool
{
public:
    HotspotTool(IconDocument& document, ToolView& view) : CanvasTool(document, view) {}

    void Release(bool) override {}

private:
    bool OnPress(IconImage& image, MouseButtons buttons, POINT p) override
    {
        const int s = image.GetSize();
        if (!buttons.left || p.x < 0 || p.y < 0 || p.x >= s || p.y >= s)
            return true;
        const Hotspot hotspot = image.GetHotspot();
        if (hotspot.x == p.x && hotspot.y == p.y)
            return true;
        // A click is the whole change: it is made and told on the press.
        ImageEdit edit = BeginPixelEdit(EditWhat::Hotspot);
        if (!edit.IsOpen())
            return false;
        image.SetHotspot(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
        edit.MarkChanged();
        edit.Commit();
        return true;
    }
};

} // namespace

std::unique_ptr<CanvasTool> MakeHotspotTool(IconDocument& document, ToolView& view)
{
    return std::unique_ptr<CanvasTool>(new HotspotTool(document, view));
}
