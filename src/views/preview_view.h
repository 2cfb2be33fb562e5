#pragma once
#include <windows.h>
#include "win/child_window.h"

class IconDocument;

// The current image centred in a 128 x 128 square: at actual size when it
// fits, else shrunk by the smallest whole factor that makes it fit.
class PreviewView : public ChildWindow
{
public:
    explicit PreviewView(IconDocument& document) : document_(document) {}
    static ATOM RegisterPreviewClass();
    HWND CreatePreview(HWND parent);
    void RefreshPreview();
    HWND GetPreviewWindow() const { return window_; }
    // Draws what WM_PAINT draws onto any context (also used by WM_PRINTCLIENT).
    void Paint(HDC dc) override;

private:
    IconDocument& document_;
};
