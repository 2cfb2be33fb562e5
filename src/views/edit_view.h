#pragma once
#include <windows.h>
#include "model/icon_image.h"

class IconDocument;
class PreviewView;

// The zoomed canvas: display (edit_view.cpp) and mouse handling (edit_view_mouse.cpp).
class EditView
{
public:
    enum Mode { ModeIdle = 0, ModeStroke = 1, ModeShape = 2, ModeSelection = 3 };
    static const int CanvasSide = 256;

    EditView(IconDocument& document, PreviewView& preview);
    static ATOM RegisterEditViewClass();
    HWND CreateEditView(HWND parent);
    HWND GetEditWindow() const { return window_; }
    int GetTool() const { return tool_; }
    void SetTool(int tool);
    int MoveSelectionFrame(int dx, int dy);
    // Shows a selection frame around the whole current image (Select all).
    void SelectWholeImage();
    POINT CanvasToPixel(int x, int y) const;
    void PixelToCanvasRect(int px, int py, RECT* rect) const;
    int GetMode() const { return mode_; }
    // Draws what WM_PAINT draws onto any context (also used by WM_PRINTCLIENT).
    void Paint(HDC dc);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnCreate(HWND hwnd);
    LRESULT OnDestroy();
    LRESULT OnPaint();
    LRESULT OnSetCursor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Mouse handling (edit_view_mouse.cpp)
    LRESULT ButtonDown(WPARAM buttons, int x, int y);
    LRESULT MouseMove(WPARAM buttons, int x, int y);
    LRESULT ButtonUp(WPARAM buttons, int x, int y);

    HWND window_ = nullptr;
    HCURSOR toolCursors_[4] = {};
    IconDocument& document_;
    PreviewView& preview_;
    ImageState* pendingSnapshot_ = nullptr;
    COLORREF strokeColour_ = 0;
    int strokeIndex_ = 0;
    int tool_ = 0;
    int previousTool_ = 0;
    POINT lastMouse_ = {};
    POINT start_ = {};
    POINT end_ = {};
    RECT dirty_ = {};
    BOOL changed_ = FALSE;
    int mode_ = ModeIdle;
};
