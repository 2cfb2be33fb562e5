#pragma once
#include <windows.h>
#include <memory>

#include "document/canvas_tool.h"
#include "document/document_change.h"
#include "model/icon_image.h"
#include "win/child_window.h"

class IconDocument;
class PixelBuffer;

// The zoomed canvas: display (edit_view.cpp) and mouse handling (edit_view_mouse.cpp).
class EditView : public ChildWindow, private ToolView, private DocumentObserver
{
public:
    enum Mode { ModeIdle = 0, ModeStroke = 1, ModeShape = 2, ModeSelection = 3 };
    static const int CanvasSide = 256;

    explicit EditView(IconDocument& document);
    ~EditView();
    static ATOM RegisterEditViewClass();
    HWND CreateEditView(HWND parent);
    HWND GetEditWindow() const { return window_; }
    int GetTool() const { return tool_; }
    void SetTool(int tool);
    // Shows a selection frame around the whole current image (Select all).
    void SelectWholeImage();
    // Ends a drag in progress as its release would; commands that replace or
    // switch the current image call it first.
    void EndDrag();
    POINT CanvasToPixel(int x, int y) const;
    void PixelToCanvasRect(int px, int py, RECT* rect) const;
    // ModeSelection also while a frame is shown, between drags.
    int GetMode() const;
    // Draws what WM_PAINT draws onto any context (also used by WM_PRINTCLIENT).
    void Paint(HDC dc) override;
    // The document's pixels changed: repainted, and composed again.
    void RepaintImage(bool erase);

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy();
    LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam);
    // The current image when one is open and valid, else null; its size or 0.
    IconImage* ShownImage() const;
    int ImageSize() const;
    bool ComposeShown(const IconImage& image, const RECT& shown, PixelBuffer& into) const;
    // The canvas edge of a pixel boundary: the first canvas column of pixel px.
    int FrameCorner(int px) const;
    bool FrameShown(RECT* frame) const;
    void DrawFrame(HDC dc) const;
    // Every repaint our own code asks for goes through here: the kept picture
    // no longer shows the image.
    void Repaint(const RECT* area, BOOL erase);
    void KeepComposed(const PixelBuffer& canvas, const IconImage& image);
    // Whatever repaints the canvas, the picture kept of it is out of date once
    // the document says its pixels changed.
    void DocumentChanged(unsigned changes) override;
    void DrawRubberBand(HDC dc, const ToolPreview& preview) const;
    ToolPreview ActivePreview() const;
    // The canvas rectangle a preview covers, empty for none.
    RECT PreviewExtent(const ToolPreview& preview) const;
    // Messages to the main window.
    void Notify(UINT message, WPARAM wParam, LPARAM lParam) const;
    void RefuseEdit() const;
    // What the tools ask of the canvas.
    void RepaintPixels(POINT a, POINT b, bool now) override;
    void RepaintAll() override;
    void RepaintPreview(bool now) override;
    void Refuse() override;
    // Mouse handling (edit_view_mouse.cpp)
    LRESULT ButtonDown(WPARAM buttons, int x, int y);
    LRESULT MouseMove(WPARAM buttons, int x, int y);
    LRESULT ButtonUp(WPARAM buttons, int x, int y);
    LRESULT OnCaptureChanged(HWND gaining);
    void FinishDrag(std::unique_ptr<CanvasTool> tool, bool released);

    HCURSOR toolCursors_[4] = {};
    IconDocument& document_;
    int tool_ = 0;
    int previousTool_ = 0;
    // The tool of the drag in progress, from a press on a shown image to its
    // release: it holds the drag's state and its edit.
    std::unique_ptr<CanvasTool> active_;
    RECT dirty_ = {};                      // what the preview covered when last painted
    // The whole canvas as last composed, without frame or drag, kept between
    // paints: a paint that follows no change (the canvas uncovered) only copies it.
    std::unique_ptr<PixelBuffer> kept_;
    bool keptValid_ = false;
    unsigned long keptImage_ = 0;
    COLORREF keptFace_ = 0;
};
