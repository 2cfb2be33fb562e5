#pragma once
// Helpers shared by the view tests: a parent window that records what the
// views tell it, real mouse messages, and pixels read back from a view.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "document/icon_document.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "views/tool_button.h"
#include "win/identifiers.h"

namespace viewtest {

struct Message
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every custom notification and WM_COMMAND that reached a test parent.
inline std::vector<Message>& Received()
{
    static std::vector<Message> log;
    return log;
}

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND || (msg >= WM_PALETTE_EDITED && msg <= WM_CURSOR_POSITION)) {
        Received().push_back(Message{ msg, wParam, lParam });
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline void RegisterClassesOnce()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "ViewsTestParent";
    ASSERT_NE(0, RegisterClassA(&wc));
    ASSERT_NE(0, RegisterToolButtonClass());
    ASSERT_NE(0, PaletteView::RegisterPaletteClass());
    ASSERT_NE(0, EditView::RegisterEditViewClass());
    ASSERT_NE(0, PreviewView::RegisterPreviewClass());
    done = true;
}

// Handles everything already queued, posted notifications included.
inline void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline int Count(UINT message)
{
    int n = 0;
    for (const Message& m : Received())
        n += m.message == message ? 1 : 0;
    return n;
}

inline const Message* Last(UINT message)
{
    const Message* found = nullptr;
    for (const Message& m : Received())
        if (m.message == message)
            found = &m;
    return found;
}

// A visible 640 x 490 main window stand-in, destroyed with its children.
class TestParent
{
public:
    TestParent()
    {
        RegisterClassesOnce();
        hwnd_ = CreateWindowExA(0, "ViewsTestParent", "views", WS_OVERLAPPED | WS_CAPTION, 0, 0, 660,
                                530, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        Received().clear();
    }
    ~TestParent()
    {
        DestroyWindow(hwnd_);
        Pump();
        Received().clear();
    }
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;
    operator HWND() const { return hwnd_; }

private:
    HWND hwnd_;
};

// What a window shows, rendered through WM_PRINTCLIENT into a 32-bit DIB.
class Picture
{
public:
    Picture(HWND window, int width, int height, COLORREF sentinel = RGB(255, 0, 255),
            LPARAM flags = PRF_CLIENT)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        HBRUSH fill = CreateSolidBrush(sentinel);
        RECT all = { 0, 0, width, height };
        FillRect(dc, &all, fill);
        DeleteObject(fill);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
        GdiFlush();
        const DWORD* source = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < pixels_.size(); ++i) {
            DWORD v = source[i];  // blue, green, red, unused from the low byte
            pixels_[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    bool operator==(const Picture& other) const { return pixels_ == other.pixels_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    std::vector<COLORREF> pixels_;
};

inline COLORREF Face()
{
    return GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
}

inline LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

// Mouse messages as the system delivers them: wParam holds every button still down.
inline void Press(HWND w, int x, int y, bool left = true, WPARAM also = 0)
{
    SendMessageA(w, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, (left ? MK_LBUTTON : MK_RBUTTON) | also,
                 At(x, y));
}
inline void Move(HWND w, int x, int y, WPARAM buttons = MK_LBUTTON)
{
    SendMessageA(w, WM_MOUSEMOVE, buttons, At(x, y));
}
inline void Release(HWND w, int x, int y, bool left = true, WPARAM still = 0)
{
    SendMessageA(w, left ? WM_LBUTTONUP : WM_RBUTTONUP, still, At(x, y));
}

// The canvas and preview of one document inside a test parent.
class Canvas
{
public:
    Canvas()
    {
        document.SetOwnerWindow(parent);
        previewWindow = preview.CreatePreview(parent);
        window = view.CreateEditView(parent);
    }
    IconImage& Image() { return *document.GetCurrentImage(); }
    Picture Show() { return Picture(window, EditView::CanvasSide, EditView::CanvasSide); }
    // The colour shown at the centre of an image pixel's cell.
    COLORREF Cell(const Picture& shown, int px, int py)
    {
        const int s = Image().GetSize();
        return shown.At((2 * px + 1) * 128 / s, (2 * py + 1) * 128 / s);
    }
    // Canvas coordinates of the centre of an image pixel's cell.
    int Centre(int p) { return (2 * p + 1) * 128 / Image().GetSize(); }

    IconDocument document;
    PreviewView preview{ document };
    EditView view{ document, preview };
    TestParent parent;  // destroyed first: the windows go before their objects
    HWND window = nullptr;
    HWND previewWindow = nullptr;
};

} // namespace viewtest
