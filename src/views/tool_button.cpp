#include "views/tool_button.h"
#include "win/child_window.h"
#include "win/identifiers.h"
#include "win/gdi_guards.h"
#include "win/handle_guards.h"

namespace {

const char* const kClassName = "QzButtonCtrlClass32";
const DWORD kToggleStyle = 0x0001;
const DWORD kHover = 1;
const DWORD kPressed = 2;

class ToolButton : public ChildWindow
{
private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void BuildFaces();
    void Redraw();
    LRESULT OnCreate();
    LRESULT OnSize();
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetState(WPARAM pressed);
    LRESULT OnSetImage(WPARAM type, LPARAM image);
    LRESULT OnLeftDown();
    LRESULT OnLeftUp();
    LRESULT OnMouseLeave();
    LRESULT OnSetFaceColour(LPARAM colour);

    COLORREF faceColour_ = GetSysColor(COLOR_BTNFACE);
    DWORD state_ = 0;
    bool tracking_ = false;
    bool latched_ = false;
    ButtonFaces faces_;
    OwnedIcon icon_;
};

void ToolButton::BuildFaces()
{
    RECT client;
    GetClientRect(window_, &client);
    DrawButtonFaces(window_, client.right, client.bottom, faceColour_, icon_, &faces_);
}

void ToolButton::Paint(HDC target)
{
    HBITMAP face = (state_ & kPressed) ? faces_.pressed : (state_ & kHover) ? faces_.hover : faces_.normal;
    if (!face)
        return;
    RECT client;
    GetClientRect(window_, &client);
    MemoryDC memory(target);
    SelectGuard keep(memory, face);
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

void ToolButton::Redraw()
{
    InvalidateRect(window_, nullptr, TRUE);
}

LRESULT ToolButton::OnCreate()
{
    BuildFaces();
    return 0;
}

LRESULT ToolButton::OnSize()
{
    Redraw();
    UpdateWindow(window_);
    return 0;
}

LRESULT ToolButton::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT || tracking_)
        return Default(WM_SETCURSOR, wParam, lParam);
    state_ |= kHover;
    Redraw();
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window_;
    track.dwHoverTime = 0;
    TrackMouseEvent(&track);
    tracking_ = true;
    return 0;
}

LRESULT ToolButton::OnSetState(WPARAM pressed)
{
    latched_ = pressed == 1;
    if (latched_)
        state_ |= kPressed;
    else
        state_ &= ~kPressed;
    Redraw();
    return 0;
}

LRESULT ToolButton::OnSetImage(WPARAM type, LPARAM image)
{
    if (type != IMAGE_ICON)
        return 0;
    icon_.Reset(image ? CopyIcon(reinterpret_cast<HICON>(image)) : nullptr);
    BuildFaces();
    Redraw();
    return 0;
}

LRESULT ToolButton::OnLeftDown()
{
    state_ |= kPressed;
    Redraw();
    return 0;
}

LRESULT ToolButton::OnLeftUp()
{
    const int id = GetDlgCtrlID(window_);
    PostMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(window_));
    const bool toggle = (GetWindowLongPtrA(window_, GWL_STYLE) & kToggleStyle) != 0;
    if (toggle && !latched_) {
        latched_ = true;
        return 0;
    }
    latched_ = false;
    state_ &= ~kPressed;
    Redraw();
    return 0;
}

LRESULT ToolButton::OnMouseLeave()
{
    tracking_ = false;
    if (latched_) {
        state_ &= ~kHover;
        return 0;
    }
    state_ &= ~(kHover | kPressed);
    Redraw();
    return 0;
}

LRESULT ToolButton::OnSetFaceColour(LPARAM colour)
{
    faceColour_ = static_cast<COLORREF>(colour);
    BuildFaces();
    Redraw();
    return 0;
}

LRESULT ToolButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:         return OnCreate();
    case WM_SIZE:           return OnSize();
    case WM_SETCURSOR:      return OnSetCursor(wParam, lParam);
    case BM_SETSTATE:       return OnSetState(wParam);
    case BM_SETIMAGE:       return OnSetImage(wParam, lParam);
    case WM_LBUTTONDOWN:    return OnLeftDown();
    case WM_LBUTTONUP:      return OnLeftUp();
    case WM_MOUSELEAVE:     return OnMouseLeave();
    case VM_SET_FACE_COLOUR: return OnSetFaceColour(lParam);
    }
    return Default(msg, wParam, lParam);
}

} // namespace

ATOM RegisterToolButtonClass()
{
    return ChildWindow::Register(kClassName, CS_HREDRAW | CS_VREDRAW,
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                                 ChildWindow::OwnObjectProcedure<ToolButton>);
}
