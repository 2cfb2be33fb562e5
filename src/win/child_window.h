#pragma once
#include <windows.h>
#include <new>

// The base of the editor's child windows (canvas, preview, palette, tool
// button). The object is bound to its window on WM_NCCREATE, before any message
// that could need it, and released from it after WM_NCDESTROY; every message
// in between reaches HandleMessage. WM_PAINT and WM_PRINTCLIENT are answered
// here, both through Paint.
class ChildWindow
{
public:
    ChildWindow() = default;
    virtual ~ChildWindow() = default;
    ChildWindow(const ChildWindow&) = delete;
    ChildWindow& operator=(const ChildWindow&) = delete;

    // For the classes whose windows are made with their object as creation
    // parameter (see CreateChild).
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // For a class whose windows others make by its name alone: each window makes
    // its own T and deletes it when it goes.
    template <typename T>
    static LRESULT CALLBACK OwnObjectProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_NCCREATE)
            Bind(hwnd, new (std::nothrow) T(), true);
        return Deliver(hwnd, msg, wParam, lParam);
    }
    // A child window class: its name, class styles and background, the arrow cursor.
    static ATOM Register(const char* className, UINT style, HBRUSH background, WNDPROC procedure = Procedure);

protected:
    // A window of a class registered with Procedure, bound to this object.
    HWND CreateChild(const char* className, DWORD exStyle, DWORD style, const RECT& box, HWND parent);
    // The class's own messages, a switch handing each to a small handler; the
    // rest goes to Default.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return Default(msg, wParam, lParam); }
    // What the window shows, onto its own context or the one WM_PRINTCLIENT gives.
    virtual void Paint(HDC dc) = 0;
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) const
    {
        return DefWindowProcA(window_, msg, wParam, lParam);
    }

    HWND window_ = nullptr;  // null before WM_NCCREATE and after WM_NCDESTROY

private:
    static void Bind(HWND hwnd, ChildWindow* object, bool ownedByWindow);
    static LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnPrintClient(HDC dc, LPARAM flags);

    bool ownedByWindow_ = false;
};
