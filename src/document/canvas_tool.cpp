#include "document/canvas_tool.h"

#include "document/icon_document.h"
#include "win/identifiers.h"

bool CanvasTool::Press(MouseButtons buttons, POINT p)
{
    IconImage* image = document_.GetCurrentImage();
    if (!image || !image->IsValid())
        return false;
    identity_ = image->GetIdentity();
    return OnPress(*image, buttons, p);
}

bool CanvasTool::OnItsImage() const
{
    const IconImage* image = document_.GetCurrentImage();
    return image && image->IsValid() && image->GetIdentity() == identity_;
}

// An edit that could not be undone is not made: drawing it anyway would leave
// the user without the way back they count on.
ImageEdit CanvasTool::BeginPixelEdit(EditWhat what)
{
    ImageEdit edit = document_.BeginEdit(what);
    if (!edit.IsOpen())
        view_.Refuse();
    return edit;
}

std::unique_ptr<CanvasTool> MakeTool(int tool, IconDocument& document, ToolView& view)
{
    switch (tool) {
    case ToolPencil:    return MakeFreehandTool(document, view, false);
    case ToolEraser:    return MakeFreehandTool(document, view, true);
    case ToolFill:      return MakeFillTool(document, view);
    case ToolPicker:    return MakePickerTool(document, view);
    case ToolLine:      return MakeShapeTool(document, view, ShapeLine);
    case ToolRectangle: return MakeShapeTool(document, view, ShapeRectangle);
    case ToolEllipse:   return MakeShapeTool(document, view, ShapeEllipse);
    case ToolHotspot:   return MakeHotspotTool(document, view);
    case ToolSelect:    return MakeSelectTool(document, view);
    }
    return nullptr;
}
