#include "win/child_window.h"

namespace {

ChildWindow* BoundObject(HWND hwnd)
{
    return reinterpret_cast<ChildWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

} // namespace

ATOM ChildWindow::Register(const char* className, UINT style, HBRUSH background, WNDPROC procedure)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassA(&wc);
}

HWND ChildWindow::CreateChild(const char* className, DWORD exStyle, DWORD style, const RECT& box, HWND parent)
{
    return CreateWindowExA(exStyle, className, "", style, box.left, box.top, box.right - box.left,
                           box.bottom - box.top, parent, nullptr, GetModuleHandleA(nullptr),
                           static_cast<ChildWindow*>(this));
}

LRESULT CALLBACK ChildWindow::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        Bind(hwnd, static_cast<ChildWindow*>(create->lpCreateParams), false);
    }
    return Deliver(hwnd, msg, wParam, lParam);
}

void ChildWindow::Bind(HWND hwnd, ChildWindow* object, bool ownedByWindow)
{
    if (!object)
        return;
    object->window_ = hwnd;
    object->ownedByWindow_ = ownedByWindow;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

LRESULT ChildWindow::Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ChildWindow* self = BoundObject(hwnd);
    // A child window cannot work without its object: its creation is refused.
    if (!self)
        return msg == WM_NCCREATE ? FALSE : DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    switch (msg) {
    case WM_PAINT:       result = self->OnPaint(); break;
    case WM_PRINTCLIENT: result = self->OnPrintClient(reinterpret_cast<HDC>(wParam), lParam); break;
    default:             result = self->HandleMessage(msg, wParam, lParam); break;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        if (self->ownedByWindow_)
            delete self;
    }
    return result;
}

// Skipped when the system gave no context.
LRESULT ChildWindow::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (dc)
        Paint(dc);
    EndPaint(window_, &ps);
    return 0;
}

// The caller's context gets the class background first when it asks for it.
LRESULT ChildWindow::OnPrintClient(HDC dc, LPARAM flags)
{
    if (flags & PRF_ERASEBKGND) {
        RECT client;
        GetClientRect(window_, &client);
        FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND)));
    }
    Paint(dc);
    return 0;
}
