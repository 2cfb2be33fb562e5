#pragma once
#include <windows.h>

// Plumbing shared by the editor's child views (canvas, preview, palette).

// A view's class: double clicks reported, the arrow cursor, the button face behind.
ATOM RegisterViewClass(const char* className, WNDPROC procedure);

// WM_PAINT: paint(dc) between BeginPaint and EndPaint, skipped when the system
// gave no context.
template <typename Paint>
LRESULT PaintView(HWND window, Paint paint)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc)
        paint(dc);
    EndPaint(window, &ps);
    return 0;
}

// WM_PRINTCLIENT: the same drawing into the caller's context, over the button
// face when the caller asks for the background too.
template <typename Paint>
LRESULT PrintView(HWND window, HDC dc, LPARAM flags, Paint paint)
{
    if (flags & PRF_ERASEBKGND) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    paint(dc);
    return 0;
}
