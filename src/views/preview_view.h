#pragma once
#include <windows.h>

class IconDocument;

// The current image at actual size, centred in a 128 x 128 square.
class PreviewView
{
public:
    explicit PreviewView(IconDocument& document) : document_(document) {}
    static ATOM RegisterPreviewClass();
    HWND CreatePreview(HWND parent);
    void RefreshPreview();
    HWND GetPreviewWindow() const { return window_; }
    // Draws what WM_PAINT draws onto any context (also used by WM_PRINTCLIENT).
    void Paint(HDC dc);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnCreate(HWND hwnd);
    LRESULT OnPaint();
    LRESULT OnPrintClient(HDC dc, LPARAM flags);

    HWND window_ = nullptr;
    IconDocument& document_;
};
