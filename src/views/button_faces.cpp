#include "views/button_faces.h"

namespace {

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

// A new face, white before it is drawn on; null when none could be made.
template <typename Draw>
HBITMAP NewFace(HDC windowDC, HDC memory, int w, int h, Draw draw)
{
    OwnedBitmap face(CreateCompatibleBitmap(windowDC, w, h));
    if (!face.Ok())
        return nullptr;
    SelectGuard keep(memory, face);
    RECT all = { 0, 0, w, h };
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    draw(memory);
    return face.Release();
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
    // The two bitmaps are copies made for the caller.
    const OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap = {};
    if (colour.Ok() && GetObjectA(colour, sizeof(bitmap), &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight;
    } else if (mask.Ok() && GetObjectA(mask, sizeof(bitmap), &bitmap)) {
        // A monochrome icon has no colour bitmap: its mask holds the AND and XOR
        // halves one above the other.
        size.cx = bitmap.bmWidth;
        size.cy = bitmap.bmHeight / 2;
    }
    return size;
}

// A dark inner frame with a light edge at the top and left, as if pushed in.
void PressedFrame(HDC dc, int w, int h, HPEN light, HPEN dark)
{
    {
        SelectGuard pen(dc, dark);
        MoveToEx(dc, 1, 1, nullptr);
        LineTo(dc, w - 1, 1);
        LineTo(dc, w - 1, h - 1);
        LineTo(dc, 1, h - 1);
        LineTo(dc, 1, 1);
    }
    SelectGuard pen(dc, light);
    MoveToEx(dc, 0, h - 1, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, w, 0);
    MoveToEx(dc, 2, h - 2, nullptr);
    LineTo(dc, w - 2, h - 2);
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

void DrawButtonFaces(HWND window, int w, int h, COLORREF c, HICON icon, ButtonFaces* faces)
{
    faces->normal.Reset();
    faces->hover.Reset();
    faces->pressed.Reset();
    if (w <= 0 || h <= 0)
        return;
    WindowDC windowDC(window);
    MemoryDC memory(windowDC);
    if (!windowDC.Ok() || !memory.Ok())
        return;
    const SIZE iconSize = IconSize(icon);
    const int x0 = (w - iconSize.cx) / 2, y0 = (h - iconSize.cy) / 2;

    faces->normal.Reset(NewFace(windowDC, memory, w, h, [&](HDC dc) {
        Border(dc, w, h, ShiftLuma(c, -15), ShiftLuma(c, -50));
        Gradient(dc, w, h, 3, h - 2, 2, c);
        DrawIconAt(dc, icon, x0, y0, iconSize);
    }));
    faces->hover.Reset(NewFace(windowDC, memory, w, h, [&](HDC dc) {
        Border(dc, w, h, ShiftLuma(c, -25), ShiftLuma(c, -80));
        Gradient(dc, w, h, 5, h - 2, 3, ShiftLuma(c, 20));
        DrawIconAt(dc, icon, x0, y0, iconSize);
    }));
    OwnedPen light(CreatePen(PS_SOLID, 1, ShiftLuma(c, -15)));
    OwnedPen dark(CreatePen(PS_SOLID, 1, ShiftLuma(c, -100)));
    faces->pressed.Reset(NewFace(windowDC, memory, w, h, [&](HDC dc) {
        if (!light.Ok() || !dark.Ok())
            return;
        PressedFrame(dc, w, h, light, dark);
        Gradient(dc, w, h, 3, h - 3, 2, c);
        DrawIconAt(dc, icon, x0 + 1, y0 + 1, iconSize);
    }));
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
