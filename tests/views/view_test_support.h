#pragma once
// Helpers shared by the view tests: a parent window that records what the
// views tell it, real mouse messages, and pixels read back from a view.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/icon_document.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "views/tool_button.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

namespace viewtest {

// Entries of the 4-bit default palette, and colours the views draw with.
const int kRed = 9, kGreen = 10, kBlue = 12;
const COLORREF kWhite = RGB(255, 255, 255), kFrameGreen = RGB(0, 100, 0), kSentinel = RGB(255, 0, 255);

inline COLORREF Face() { return GetSysColor(COLOR_BTNFACE) & 0xFFFFFF; }

// Every custom notification and WM_COMMAND that reached a test parent.
inline std::vector<MSG>& Received()
{
    static std::vector<MSG> log;
    return log;
}

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COMMAND && (msg < VM_PALETTE_EDITED || msg > VM_EDIT_REFUSED))
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    Received().push_back(MSG{ hwnd, msg, wParam, lParam, 0, {} });
    return 0;
}

// Handles everything already queued, posted notifications included.
inline void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

inline int Count(UINT message)
{
    int n = 0;
    for (const MSG& m : Received())
        n += m.message == message ? 1 : 0;
    return n;
}

inline const MSG* Last(UINT message)
{
    const MSG* found = nullptr;
    for (const MSG& m : Received())
        found = m.message == message ? &m : found;
    return found;
}

// The command a view posted last, or 0.
inline WPARAM LastCommand()
{
    Pump();
    return Last(WM_COMMAND) ? Last(WM_COMMAND)->wParam : 0;
}

inline std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The window classes of the views, registered once per test program.
inline bool RegisterClasses()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "ViewsTestParent";
    return RegisterClassA(&wc) && RegisterToolButtonClass() && PaletteView::RegisterPaletteClass() &&
           EditView::RegisterEditViewClass() && PreviewView::RegisterPreviewClass();
}

// A visible main window stand-in, destroyed with its children.
class TestParent
{
public:
    TestParent()
    {
        static const bool registered = RegisterClasses();
        EXPECT_TRUE(registered);
        hwnd_ = CreateWindowExA(0, "ViewsTestParent", "views", WS_OVERLAPPED | WS_CAPTION, 0, 0, 660, 530, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
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

// What a window shows, rendered through WM_PRINTCLIENT into a 32-bit DIB over a sentinel colour.
class Picture
{
public:
    Picture(HWND window, int width, int height, LPARAM flags = PRF_CLIENT)
        : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        MemoryDC dc(nullptr);
        OwnedBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        SelectGuard keep(dc, bitmap);
        OwnedBrush fill(CreateSolidBrush(kSentinel));
        RECT all = { 0, 0, width, height };
        FillRect(dc, &all, fill);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), flags);
        GdiFlush();
        const DWORD* source = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < pixels_.size(); ++i)  // blue, green, red, unused from the low byte
            pixels_[i] = RGB((source[i] >> 16) & 0xFF, (source[i] >> 8) & 0xFF, source[i] & 0xFF);
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    bool operator==(const Picture& other) const { return pixels_ == other.pixels_; }
    // How many pixels of a colour lie in [x0, x1) x [y0, y1), the whole picture by default.
    int Count(COLORREF colour, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const
    {
        int n = 0;
        for (int y = y0; y < (y1 < 0 ? height_ : y1); ++y)
            for (int x = x0; x < (x1 < 0 ? width_ : x1); ++x)
                n += At(x, y) == colour ? 1 : 0;
        return n;
    }

private:
    int width_, height_;
    std::vector<COLORREF> pixels_;
};

inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<short>(x), static_cast<short>(y)); }

// Mouse messages as the system delivers them: wParam holds every button still down.
inline void Press(HWND w, int x, int y, bool left = true, WPARAM also = 0)
{
    SendMessageA(w, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, (left ? MK_LBUTTON : MK_RBUTTON) | also, At(x, y));
}
inline void Move(HWND w, int x, int y, WPARAM buttons = MK_LBUTTON) { SendMessageA(w, WM_MOUSEMOVE, buttons, At(x, y)); }
inline void Release(HWND w, int x, int y, bool left = true, WPARAM still = 0)
{
    SendMessageA(w, left ? WM_LBUTTONUP : WM_RBUTTONUP, still, At(x, y));
}
inline void Click(HWND w, int x, int y, bool left = true) { Press(w, x, y, left), Release(w, x, y, left); }

typedef std::set<std::pair<int, int>> Pixels;

// The canvas, preview and palette of one document inside a test parent.
class Views
{
public:
    Views()
    {
        document.SetOwnerWindow(parent);
        previewWindow = preview.CreatePreview(parent);
        window = view.CreateEditView(parent);
        paletteWindow = palette.CreatePaletteView(parent);
    }
    IconImage& Image() { return *document.GetCurrentImage(); }
    Picture Show() { return Picture(window, EditView::CanvasSide, EditView::CanvasSide); }
    Picture ShowPreview() { return Picture(previewWindow, 128, 128, PRF_CLIENT | PRF_ERASEBKGND); }
    Picture ShowPalette() { return Picture(paletteWindow, 161, 185, PRF_CLIENT | PRF_ERASEBKGND); }
    // Canvas coordinates of the centre of an image pixel's cell.
    int Centre(int p) { return (2 * p + 1) * 128 / Image().GetSize(); }
    // The colour shown at the centre of an image pixel's cell.
    COLORREF Cell(const Picture& shown, int px, int py) { return shown.At(Centre(px), Centre(py)); }
    // The pixels whose cell is not white.
    Pixels Marked()
    {
        Picture shown = Show();
        Pixels marked;
        for (int y = 0; y < Image().GetSize(); ++y)
            for (int x = 0; x < Image().GetSize(); ++x)
                if (Cell(shown, x, y) != kWhite)
                    marked.insert({ x, y });
        return marked;
    }
    // One press-move-release with a button, through pixel centres; returns what showed before the release.
    Picture Drag(bool left, const std::vector<POINT>& path)
    {
        Press(window, Centre(path.front().x), Centre(path.front().y), left);
        for (size_t i = 1; i < path.size(); ++i)
            Move(window, Centre(path[i].x), Centre(path[i].y), left ? MK_LBUTTON : MK_RBUTTON);
        Picture during = Show();
        Release(window, Centre(path.back().x), Centre(path.back().y), left);
        return during;
    }

    IconDocument document;
    PreviewView preview{ document };
    EditView view{ document, preview };
    PaletteView palette{ &document };
    TestParent parent;  // destroyed first: the windows go before their objects
    HWND window = nullptr, previewWindow = nullptr, paletteWindow = nullptr;
};

} // namespace viewtest
