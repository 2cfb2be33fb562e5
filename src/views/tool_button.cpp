#include "views/tool_button.h"
#include <new>
#include "win/gdi_guards.h"

namespace {

const char* const kClassName = "QzButtonCtrlClass32";
const DWORD kToggleStyle = 0x0001;
const DWORD kHover = 1;
const DWORD kPressed = 2;

struct ButtonState
{
    COLORREF faceColour;
    DWORD state;
    BOOL tracking;
    BOOL latched;
    HBITMAP pressedFace;
    HBITMAP hoverFace;
    HBITMAP normalFace;
    HICON icon;
};

ButtonState* StateOf(HWND hwnd)
{
    return reinterpret_cast<ButtonState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void DeleteFaces(ButtonState* s)
{
    HBITMAP* faces[] = { &s->pressedFace, &s->hoverFace, &s->normalFace };
    for (HBITMAP* face : faces) {
        if (*face)
            DeleteObject(*face);
        *face = nullptr;
    }
}

void Border(HDC dc, int w, int h, COLORREF light, COLORREF dark)
{
    for (int x = 0; x < w; ++x) {
        SetPixel(dc, x, 0, light);
        SetPixel(dc, x, h - 1, dark);
    }
    for (int y = 0; y < h; ++y) {
        SetPixel(dc, 0, y, light);
        SetPixel(dc, w - 1, y, dark);
    }
}

// The step and the product are single floats, rounded as such (see Product).
float Step(int base, int divisor)
{
    volatile float step = static_cast<float>(255 - base) / static_cast<float>(divisor);
    return step;
}

int GradientChannel(int base, float step, int offset)
{
    volatile float rise = static_cast<float>(offset) * step;
    int value = base + static_cast<int>(rise);
    return value > 255 ? 255 : value;
}

// A light row at r0, then rows r0 + 1 .. r1 running from the base colour towards white.
void Gradient(HDC dc, int w, int h, int r0, int r1, int x0, COLORREF base)
{
    int divisor = h - r0 - 1;
    if (divisor <= 0)
        return;  // a button too small to hold a gradient
    int baseR = GetRValue(base), baseG = GetGValue(base), baseB = GetBValue(base);
    float stepR = Step(baseR, divisor), stepG = Step(baseG, divisor), stepB = Step(baseB, divisor);
    for (int y = r0; y <= r1; ++y) {
        COLORREF colour = RGB(240, 240, 240);
        if (y > r0) {
            int offset = y - r0 - 1;
            colour = RGB(GradientChannel(baseR, stepR, offset), GradientChannel(baseG, stepG, offset),
                         GradientChannel(baseB, stepB, offset));
        }
        for (int x = x0; x <= w - 2; ++x)
            SetPixel(dc, x, y, colour);
    }
}

HBITMAP NewFace(HDC windowDC, HDC memory, int w, int h)
{
    HBITMAP face = CreateCompatibleBitmap(windowDC, w, h);
    if (face) {
        SelectObject(memory, face);
        RECT all = { 0, 0, w, h };
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    return face;
}

void DrawIconAt(HDC dc, HICON icon, int x, int y, SIZE size)
{
    if (icon)
        DrawIconEx(dc, x, y, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
}

SIZE IconSize(HICON icon)
{
    SIZE size = { 0, 0 };
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return size;
    BITMAP bitmap = {};
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
    } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap)) {
        // A monochrome icon has no colour bitmap: its mask holds the AND and XOR
        // halves one above the other.
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight / 2;
    }
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    return size;
}

void BuildFaces(HWND hwnd, ButtonState* s)
{
    RECT client;
    GetClientRect(hwnd, &client);
    const int w = client.right, h = client.bottom;
    SIZE iconSize = IconSize(s->icon);
    const int x0 = (w - iconSize.cx) / 2, y0 = (h - iconSize.cy) / 2;
    const COLORREF c = s->faceColour;

    DeleteFaces(s);
    if (w <= 0 || h <= 0)
        return;
    WindowDC windowDC(hwnd);
    MemoryDC memory(windowDC);
    if (!windowDC.Ok() || !memory.Ok())
        return;
    HGDIOBJ oldBitmap = GetCurrentObject(memory, OBJ_BITMAP);
    HGDIOBJ oldPen = GetCurrentObject(memory, OBJ_PEN);

    s->normalFace = NewFace(windowDC, memory, w, h);
    if (s->normalFace) {
        Border(memory, w, h, ShiftLuma(c, -15), ShiftLuma(c, -50));
        Gradient(memory, w, h, 3, h - 2, 2, c);
        DrawIconAt(memory, s->icon, x0, y0, iconSize);
    }
    s->hoverFace = NewFace(windowDC, memory, w, h);
    if (s->hoverFace) {
        Border(memory, w, h, ShiftLuma(c, -25), ShiftLuma(c, -80));
        Gradient(memory, w, h, 5, h - 2, 3, ShiftLuma(c, 20));
        DrawIconAt(memory, s->icon, x0, y0, iconSize);
    }
    OwnedPen light(CreatePen(PS_SOLID, 1, ShiftLuma(c, -15)));
    OwnedPen dark(CreatePen(PS_SOLID, 1, ShiftLuma(c, -100)));
    s->pressedFace = NewFace(windowDC, memory, w, h);
    if (s->pressedFace && light.Ok() && dark.Ok()) {
        SelectObject(memory, dark);
        MoveToEx(memory, 1, 1, nullptr);
        LineTo(memory, w - 1, 1);
        LineTo(memory, w - 1, h - 1);
        LineTo(memory, 1, h - 1);
        LineTo(memory, 1, 1);
        SelectObject(memory, light);
        MoveToEx(memory, 0, h - 1, nullptr);
        LineTo(memory, 0, 0);
        LineTo(memory, w, 0);
        MoveToEx(memory, 2, h - 2, nullptr);
        LineTo(memory, w - 2, h - 2);
        Gradient(memory, w, h, 3, h - 3, 2, c);
        DrawIconAt(memory, s->icon, x0 + 1, y0 + 1, iconSize);
    }
    // The faces must not stay selected: the memory DC dies here, they do not.
    SelectObject(memory, oldPen);
    SelectObject(memory, oldBitmap);
}

void PaintFace(HWND hwnd, const ButtonState* s, HDC target)
{
    HBITMAP face = (s->state & kPressed) ? s->pressedFace
                 : (s->state & kHover) ? s->hoverFace : s->normalFace;
    if (!face)
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    MemoryDC memory(target);
    SelectGuard keep(memory, face);
    BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
}

void Redraw(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, TRUE);
}

// The control cannot work without its record; refusing the creation is
// better than a button that ignores everything.
LRESULT OnCreate(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    ButtonState* s = new (std::nothrow) ButtonState();
    if (!s)
        return -1;
    s->faceColour = GetSysColor(COLOR_BTNFACE);
    BuildFaces(hwnd, s);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
    return DefWindowProcA(hwnd, WM_CREATE, wParam, lParam);
}

LRESULT OnDestroy(HWND hwnd, ButtonState* s)
{
    if (s->icon)
        DestroyIcon(s->icon);
    DeleteFaces(s);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    delete s;
    return 0;
}

LRESULT OnSize(HWND hwnd)
{
    Redraw(hwnd);
    UpdateWindow(hwnd);
    return 0;
}

LRESULT OnPaint(HWND hwnd, const ButtonState* s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc)
        PaintFace(hwnd, s, dc);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OnSetCursor(HWND hwnd, ButtonState* s, WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(lParam) != HTCLIENT || s->tracking)
        return DefWindowProcA(hwnd, WM_SETCURSOR, wParam, lParam);
    s->state |= kHover;
    Redraw(hwnd);
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd;
    track.dwHoverTime = 0;
    TrackMouseEvent(&track);
    s->tracking = TRUE;
    return 0;
}

LRESULT OnSetState(HWND hwnd, ButtonState* s, WPARAM pressed)
{
    if (pressed == 1) {
        s->latched = TRUE;
        s->state |= kPressed;
    } else {
        s->latched = FALSE;
        s->state &= ~kPressed;
    }
    Redraw(hwnd);
    return 0;
}

LRESULT OnSetImage(HWND hwnd, ButtonState* s, WPARAM type, LPARAM image)
{
    if (type != IMAGE_ICON)
        return 0;
    if (s->icon)
        DestroyIcon(s->icon);
    s->icon = image ? CopyIcon(reinterpret_cast<HICON>(image)) : nullptr;
    BuildFaces(hwnd, s);
    Redraw(hwnd);
    return 0;
}

LRESULT OnLeftDown(HWND hwnd, ButtonState* s)
{
    s->state |= kPressed;
    Redraw(hwnd);
    return 0;
}

LRESULT OnLeftUp(HWND hwnd, ButtonState* s)
{
    int id = GetDlgCtrlID(hwnd);
    PostMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(hwnd));
    bool toggle = (GetWindowLongPtrA(hwnd, GWL_STYLE) & kToggleStyle) != 0;
    if (toggle && !s->latched) {
        s->latched = TRUE;
        return 0;
    }
    s->latched = FALSE;
    s->state &= ~kPressed;
    Redraw(hwnd);
    return 0;
}

LRESULT OnMouseLeave(HWND hwnd, ButtonState* s)
{
    s->tracking = FALSE;
    if (s->latched) {
        s->state &= ~kHover;
        return 0;
    }
    s->state &= ~(kHover | kPressed);
    Redraw(hwnd);
    return 0;
}

LRESULT OnSetFaceColour(HWND hwnd, ButtonState* s, LPARAM colour)
{
    s->faceColour = static_cast<COLORREF>(colour);
    BuildFaces(hwnd, s);
    Redraw(hwnd);
    return 0;
}

LRESULT CALLBACK ToolButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
        return OnCreate(hwnd, wParam, lParam);
    ButtonState* s = StateOf(hwnd);
    if (!s)
        return DefWindowProcA(hwnd, msg, wParam, lParam);

    switch (msg) {
    case WM_DESTROY:        return OnDestroy(hwnd, s);
    case WM_SIZE:           return OnSize(hwnd);
    case WM_PAINT:          return OnPaint(hwnd, s);
    case WM_PRINTCLIENT:    PaintFace(hwnd, s, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_SETCURSOR:      return OnSetCursor(hwnd, s, wParam, lParam);
    case BM_SETSTATE:       return OnSetState(hwnd, s, wParam);
    case BM_SETIMAGE:       return OnSetImage(hwnd, s, wParam, lParam);
    case WM_LBUTTONDOWN:    return OnLeftDown(hwnd, s);
    case WM_LBUTTONUP:      return OnLeftUp(hwnd, s);
    case WM_MOUSELEAVE:     return OnMouseLeave(hwnd, s);
    case TBM_SETFACECOLOUR: return OnSetFaceColour(hwnd, s, lParam);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Every step is rounded to a double of its own: the x87 unit of a 32-bit build
// would otherwise keep extra bits and move results across the truncation below.
double Product(double a, double b)
{
    volatile double result = a * b;
    return result;
}

double Sum(double a, double b)
{
    volatile double result = a + b;
    return result;
}

int ClampChannel(double value)
{
    // Dropping the fraction first is what makes a channel come out one below
    // channel + delta now and then.
    int whole = static_cast<int>(value);
    return whole > 255 ? 255 : whole < 0 ? 0 : whole;
}

} // namespace

ATOM RegisterToolButtonClass()
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ToolButtonProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc);
}

COLORREF ShiftLuma(COLORREF colour, short delta)
{
    const double r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    double y = Sum(Sum(Product(0.299, r), Product(0.587, g)), Product(0.114, b));
    double cb = Sum(Sum(Sum(127.5, -Product(0.1687, r)), -Product(0.3313, g)), Product(0.5, b));
    double cr = Sum(Sum(Sum(Product(0.5, r), 127.5), -Product(0.4187, g)), -Product(0.0813, b));
    y = Sum(y, delta);
    const double dcb = Sum(cb, -127.5), dcr = Sum(cr, -127.5);
    int red = ClampChannel(Sum(y, Product(1.402, dcr)));
    int green = ClampChannel(Sum(Sum(y, -Product(0.34414, dcb)), -Product(0.71414, dcr)));
    int blue = ClampChannel(Sum(y, Product(1.772, dcb)));
    return static_cast<COLORREF>(red | (green << 8) | (blue << 16));
}
