#pragma once
#include <windows.h>
#include <memory>

#include "model/drawing.h"
#include "model/icon_image.h"
#include "win/child_window.h"

class IconDocument;
class PreviewView;

// The zoomed canvas: display (edit_view.cpp) and mouse handling (edit_view_mouse.cpp).
class EditView : public ChildWindow
{
public:
    enum Mode { ModeIdle = 0, ModeStroke = 1, ModeShape = 2, ModeSelection = 3 };
    static const int CanvasSide = 256;

    EditView(IconDocument& document, PreviewView& preview);
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

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy();
    LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam);
    // The current image when one is open and valid, else null; its size or 0.
    IconImage* ShownImage() const;
    int ImageSize() const;
    void PaintZoomed(HDC dc, const IconImage& image, int s);
    void PaintWithSelection(HDC dc, const IconImage& image, int s, const RECT& frame);
    // The canvas edge of a pixel boundary: the first canvas column of pixel px.
    int FrameCorner(int px) const;
    bool FrameShown(RECT* frame) const;
    void DrawRubberBand(HDC dc) const;
    // Only the line, rectangle and ellipse tools drag shapes.
    static ShapeKind ShapeOfTool(int tool);
    void InvalidatePixel(POINT p);
    // Messages to the main window.
    void Notify(UINT message, WPARAM wParam, LPARAM lParam) const;
    void RefuseEdit() const;
    // Mouse handling (edit_view_mouse.cpp)
    LRESULT ButtonDown(WPARAM buttons, int x, int y);
    LRESULT MouseMove(WPARAM buttons, int x, int y);
    LRESULT ButtonUp(WPARAM buttons, int x, int y);
    LRESULT OnCaptureChanged(HWND gaining);
    bool StartTool(IconImage& image, WPARAM buttons, POINT p);
    void FinishDrag(bool released);
    bool StartFreehand(IconImage& image, bool left, POINT p);
    bool Fill(IconImage& image, bool left, POINT p);
    void PickColour(IconImage& image, bool left, POINT p);
    void StartShape(IconImage& image, bool left, POINT p);
    bool PickHotspot(IconImage& image, POINT p);
    void StartFrame(IconImage& image, POINT p);
    void ContinueFreehand(IconImage& image, int x, int y);
    void StretchShape(int x, int y);
    void StretchFrame(int s, int x, int y);
    void MoveDirtyRect(const RECT& now);
    // False, after telling the user, when no copy could be made: the edit is refused.
    bool TakeSnapshot(IconImage& image);
    void SettleSnapshot();
    void DropSnapshot();

    HCURSOR toolCursors_[4] = {};
    IconDocument& document_;
    PreviewView& preview_;
    std::unique_ptr<ImageState> pendingSnapshot_;
    COLORREF strokeColour_ = 0;
    int strokeIndex_ = 0;
    int tool_ = 0;
    int previousTool_ = 0;
    POINT lastMouse_ = {};
    POINT start_ = {};
    POINT end_ = {};
    RECT dirty_ = {};
    BOOL changed_ = FALSE;
    int mode_ = ModeIdle;                  // the drag in progress
    bool dragging_ = false;                // from a press with a shown image to its release
    int pressTool_ = 0;                    // the tool the press started with
    unsigned long dragImage_ = 0;          // identity of the image the drag began on
};
