#pragma once
#include <windows.h>
#include "win/child_window.h"

class IconDocument;
class IconImage;

// The palette of the current image: left/right colour choice and entry editing.
class PaletteView : public ChildWindow
{
public:
    explicit PaletteView(IconDocument* document) : document_(document) {}
    static ATOM RegisterPaletteClass();
    HWND CreatePaletteView(HWND parent);
    HWND GetPaletteWindow() const { return window_; }
    // Draws what WM_PAINT draws onto any context (also used by WM_PRINTCLIENT);
    // the caption sits at the bottom of the client area, wherever it is drawn.
    void Paint(HDC dc) override;
    // The palette index under a client point: 0..N-1, N for the transparent
    // cell, or -1 for a point that selects nothing.
    int HitTest(int x, int y) const;

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnButtonUp(bool left, int x, int y);
    LRESULT OnDoubleClick(int x, int y);
    // The current image when one is open and valid, else null.
    IconImage* ShownImage() const;

    IconDocument* document_;
};
