#pragma once
#include <windows.h>

class IconDocument;
class IconImage;

// The palette of the current image: left/right colour choice and entry editing.
class PaletteView
{
public:
    explicit PaletteView(IconDocument* document) : document_(document) {}
    static ATOM RegisterPaletteClass();
    HWND CreatePaletteView(HWND parent);
    HWND GetPaletteWindow() const { return window_; }
    void Paint(HDC dc, const RECT& client);
    // The palette index under a client point: 0..N-1, N for the transparent
    // cell, or -1 for a point that selects nothing.
    int HitTest(int x, int y) const;

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnCreate(HWND hwnd);
    LRESULT OnPaint();
    LRESULT OnPrintClient(HDC dc, LPARAM flags);
    void PaintClient(HDC dc);
    LRESULT OnButtonUp(bool left, int x, int y);
    LRESULT OnDoubleClick(int x, int y);
    // The current image when one is open and valid, else null.
    IconImage* ShownImage() const;

    HWND window_ = nullptr;
    IconDocument* document_;
};
