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
#include "support/canvas_cells.h"
#include "support/change_log.h"
#include "support/colours.h"
#include "support/message_pump.h"
#include "support/picture.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "views/tool_button.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

namespace viewtest {

// Entries of the 4-bit default palette, and colours the views draw with.
const int kRedIndex = 9, kGreenIndex = 10, kBlueIndex = 12;
const COLORREF kFrameGreen = RGB(0, 100, 0), kSentinel = RGB(255, 0, 255);

inline COLORREF Face() { return GetSysColor(COLOR_BTNFACE) & 0xFFFFFF; }

// Every custom notification and WM_COMMAND that reached a test parent.
inline std::vector<MSG>& Received()
{
    static std::vector<MSG> log;
    return log;
}

inline LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_COMMAND && (msg < VM_CURSOR_POSITION || msg > VM_EDIT_REFUSED))
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    Received().push_back(MSG{ hwnd, msg, wParam, lParam, 0, {} });
    return 0;
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
    PumpMessages();
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
        PumpMessages();
        Received().clear();
    }
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;
    operator HWND() const { return hwnd_; }

private:
    HWND hwnd_;
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
        document.AddObserver(&changes);
        previewWindow = preview.CreatePreview(parent);
        window = view.CreateEditView(parent);
        paletteWindow = palette.CreatePaletteView(parent);
    }
    IconImage& Image() { return *document.GetCurrentImage(); }
    // The notifications so far that told a change of these in the open
    // document (not the opening itself).
    int Told(unsigned what) const
    {
        int n = 0;
        for (unsigned told : changes.told)
            n += (told & what) != 0 && (told & ChangeFileState) == 0;
        return n;
    }
    Picture Show() { return Picture(window, EditView::CanvasSide, EditView::CanvasSide, kSentinel); }
    Picture ShowPreview() { return Picture(previewWindow, 128, 128, kSentinel, PRF_CLIENT | PRF_ERASEBKGND); }
    Picture ShowPalette() { return Picture(paletteWindow, 161, 185, kSentinel, PRF_CLIENT | PRF_ERASEBKGND); }
    // Canvas coordinates of the centre of an image pixel's cell.
    int Centre(int p) { return CellCentre(p, Image().GetSize()); }
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
    ChangeLog changes;
    PreviewView preview{ document };
    EditView view{ document };
    PaletteView palette{ &document };
    TestParent parent;  // destroyed first: the windows go before their objects
    HWND window = nullptr, previewWindow = nullptr, paletteWindow = nullptr;
};

} // namespace viewtest
