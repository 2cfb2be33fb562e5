#include "view_test_support.h"

using namespace viewtest;

namespace {

const COLORREF kBase = RGB(100, 150, 200);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kLight = RGB(240, 240, 240);

class Button
{
public:
    explicit Button(int id = CmdToolFirst + 1, DWORD extraStyle = 0)
    {
        hwnd = CreateWindowExA(0, "QzButtonCtrlClass32", "", WS_CHILD | WS_VISIBLE | extraStyle, 20, 20, 27,
                               27, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
        SendMessageA(hwnd, TBM_SETFACECOLOUR, 0, kBase);
    }
    Picture Face() const { return Picture(hwnd, 27, 27); }
    void Hover() const { SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)); }
    void Leave() const { SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0); }
    void Down() const { SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
    void Up() const { SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); }

    TestParent parent;
    HWND hwnd;
};

enum FaceKind { Normal, Hovered, Pressed };

// Which of the three faces a picture shows, from the rows that tell them apart.
FaceKind KindOf(const Picture& face)
{
    if (face.At(5, 1) != kWhite)
        return Pressed;  // the pressed face's dark inner line
    return face.At(5, 3) == kLight ? Normal : Hovered;
}

// Rows r0 + 1 .. r1 run from the base colour towards white, channel by channel.
void ExpectGradient(const Picture& face, int r0, int r1, int x0, COLORREF base, const char* name)
{
    for (int x = x0; x <= 25; ++x)
        EXPECT_EQ(kLight, face.At(x, r0)) << name << " light row at x " << x;
    EXPECT_EQ(base, face.At(x0, r0 + 1)) << name;
    for (int y = r0 + 2; y <= r1; ++y) {
        COLORREF above = face.At(x0, y - 1), here = face.At(x0, y);
        EXPECT_GE(GetRValue(here), GetRValue(above)) << name << " row " << y;
        EXPECT_GT(GetGValue(here), GetGValue(above)) << name << " row " << y;
        EXPECT_GE(GetBValue(here), GetBValue(above)) << name << " row " << y;
        for (int x = x0; x <= 25; ++x)
            ASSERT_EQ(here, face.At(x, y)) << name << " row " << y << " x " << x;
    }
    EXPECT_GT(GetGValue(face.At(x0, r1)), 240) << name << " ends near white";
}

} // namespace

TEST(ToolButton, ShiftLumaGoesThroughYCbCr)
{
    struct Case { COLORREF colour; short delta; COLORREF expected; };
    for (const Case& k : { Case{ RGB(0, 0, 0), 20, RGB(20, 20, 20) }, Case{ RGB(0, 0, 0), -15, RGB(0, 0, 0) },
                           Case{ RGB(0, 0, 0), -100, RGB(0, 0, 0) }, Case{ RGB(255, 255, 255), 20, RGB(255, 255, 255) },
                           Case{ RGB(100, 100, 100), -50, RGB(50, 50, 50) }, Case{ RGB(240, 240, 240), -15, RGB(225, 225, 225) },
                           // green comes out 19.9965, dropped to 19; red is capped
                           Case{ RGB(255, 0, 0), 20, RGB(255, 19, 20) },
                           Case{ RGB(10, 20, 30), 32767, RGB(255, 255, 255) },
                           Case{ RGB(10, 20, 30), -32768, RGB(0, 0, 0) } })
        EXPECT_EQ(k.expected, ShiftLuma(k.colour, k.delta)) << std::hex << k.colour << " " << std::dec << k.delta;
}

TEST(ToolButton, TheThreeFacesOfA27PixelButton)
{
    Button b;
    Picture normal = b.Face();
    EXPECT_EQ(Normal, KindOf(normal));
    ExpectGradient(normal, 3, 25, 2, kBase, "normal");
    EXPECT_EQ(ShiftLuma(kBase, -15), normal.At(0, 0));
    EXPECT_EQ(ShiftLuma(kBase, -15), normal.At(0, 26));
    EXPECT_EQ(ShiftLuma(kBase, -50), normal.At(26, 0));
    EXPECT_EQ(ShiftLuma(kBase, -50), normal.At(13, 26));
    EXPECT_EQ(ShiftLuma(kBase, -50), normal.At(26, 13));
    for (int x = 1; x <= 25; ++x) {
        EXPECT_EQ(kWhite, normal.At(x, 1));
        EXPECT_EQ(kWhite, normal.At(x, 2));
        EXPECT_EQ(kWhite, normal.At(1, x));
    }

    b.Hover();
    Picture hover = b.Face();
    EXPECT_EQ(Hovered, KindOf(hover));
    ExpectGradient(hover, 5, 25, 3, ShiftLuma(kBase, 20), "hover");
    EXPECT_EQ(ShiftLuma(kBase, -25), hover.At(5, 0));
    EXPECT_EQ(ShiftLuma(kBase, -80), hover.At(5, 26));
    for (int y = 1; y <= 4; ++y)
        EXPECT_EQ(kWhite, hover.At(10, y));
    EXPECT_EQ(kWhite, hover.At(1, 15));
    EXPECT_EQ(kWhite, hover.At(2, 15));

    b.Down();
    Picture pressed = b.Face();
    EXPECT_EQ(Pressed, KindOf(pressed));
    ExpectGradient(pressed, 3, 24, 2, kBase, "pressed");
    const COLORREF light = ShiftLuma(kBase, -15), dark = ShiftLuma(kBase, -100);
    EXPECT_EQ(dark, pressed.At(1, 1));
    EXPECT_EQ(dark, pressed.At(26, 10));
    EXPECT_EQ(dark, pressed.At(10, 26));
    EXPECT_EQ(light, pressed.At(0, 10));
    EXPECT_EQ(light, pressed.At(10, 0));
    EXPECT_EQ(light, pressed.At(10, 25));
    EXPECT_EQ(kWhite, pressed.At(10, 2));
}

TEST(ToolButton, ClickPostsACommandAndReleasesTheFace)
{
    Button b(CmdToolFirst + 4);
    b.Hover();
    b.Down();
    EXPECT_EQ(Pressed, KindOf(b.Face()));
    Pump();
    EXPECT_EQ(0, Count(WM_COMMAND));
    b.Up();
    Pump();
    ASSERT_EQ(1, Count(WM_COMMAND));
    EXPECT_EQ(static_cast<WPARAM>(CmdToolFirst + 4), Last(WM_COMMAND)->wParam);  // BN_CLICKED is 0
    EXPECT_EQ(reinterpret_cast<LPARAM>(b.hwnd), Last(WM_COMMAND)->lParam);
    EXPECT_EQ(Hovered, KindOf(b.Face()));
    b.Leave();
    EXPECT_EQ(Normal, KindOf(b.Face()));

    // Pressed here and released elsewhere: no command, the leave clears the face.
    b.Hover();
    b.Down();
    b.Leave();
    Pump();
    EXPECT_EQ(1, Count(WM_COMMAND));
    EXPECT_EQ(Normal, KindOf(b.Face()));
}

TEST(ToolButton, SetStateLatchesThePressedFace)
{
    Button b;
    SendMessageA(b.hwnd, BM_SETSTATE, 1, 0);
    EXPECT_EQ(Pressed, KindOf(b.Face()));
    b.Hover();
    b.Leave();
    EXPECT_EQ(Pressed, KindOf(b.Face()));
    b.Hover();
    EXPECT_EQ(Pressed, KindOf(b.Face()));
    SendMessageA(b.hwnd, BM_SETSTATE, 0, 0);
    EXPECT_EQ(Hovered, KindOf(b.Face()));
    b.Leave();

    // A click on a latched push button unlatches it until the parent sets it again.
    SendMessageA(b.hwnd, BM_SETSTATE, 1, 0);
    b.Hover();
    b.Down();
    b.Up();
    b.Leave();
    EXPECT_EQ(Normal, KindOf(b.Face()));
    SendMessageA(b.hwnd, BM_SETSTATE, 2, 0);  // only 1 latches
    EXPECT_EQ(Normal, KindOf(b.Face()));
}

TEST(ToolButton, ToggleStyleLatchesOnClick)
{
    Button b(CmdShiftLeft, 0x0001);
    b.Hover();
    b.Down();
    b.Up();
    b.Leave();
    EXPECT_EQ(Pressed, KindOf(b.Face()));
    b.Hover();
    b.Down();
    b.Up();
    b.Leave();
    EXPECT_EQ(Normal, KindOf(b.Face()));
    Pump();
    EXPECT_EQ(2, Count(WM_COMMAND));
}

TEST(ToolButton, KeepsItsOwnCopyOfTheIcon)
{
    Button b;
    // A 22 x 22 opaque red icon.
    std::vector<BYTE> andMask(22 * 4, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 22, 22);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, colour);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all = { 0, 0, 22, 22 };
    FillRect(dc, &all, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(22, 22, 1, 1, andMask.data());
    ICONINFO info = { TRUE, 0, 0, mask, colour };
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    ASSERT_NE(nullptr, icon);

    SendMessageA(b.hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(icon));  // ignored
    EXPECT_EQ(kWhite, b.Face().At(2, 2));
    SendMessageA(b.hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    DestroyIcon(icon);  // the button has its own copy
    Picture normal = b.Face();
    EXPECT_EQ(RGB(255, 0, 0), normal.At(2, 2));
    EXPECT_EQ(RGB(255, 0, 0), normal.At(23, 23));
    EXPECT_NE(RGB(255, 0, 0), normal.At(24, 24));
    SendMessageA(b.hwnd, BM_SETSTATE, 1, 0);
    Picture pressed = b.Face();
    EXPECT_NE(RGB(255, 0, 0), pressed.At(2, 2));  // one pixel down and right
    EXPECT_EQ(RGB(255, 0, 0), pressed.At(3, 3));
    EXPECT_EQ(RGB(255, 0, 0), pressed.At(24, 24));
    // A new face colour rebuilds the faces around the same icon.
    SendMessageA(b.hwnd, TBM_SETFACECOLOUR, 0, RGB(0, 0, 0));
    Picture dark = b.Face();
    EXPECT_EQ(RGB(255, 0, 0), dark.At(3, 3));
    EXPECT_EQ(RGB(0, 0, 0), dark.At(2, 4));
}
