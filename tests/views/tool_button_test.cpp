#include "view_test_support.h"

using namespace viewtest;

namespace {

const COLORREF kBase = RGB(100, 150, 200), kLight = RGB(240, 240, 240);

struct Button
{
    explicit Button(DWORD extraStyle = 0)
    {
        hwnd = CreateWindowExA(0, "QzButtonCtrlClass32", "", WS_CHILD | WS_VISIBLE | extraStyle, 20, 20, 27, 27,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDM_SHIFT_LEFT)),
                               GetModuleHandleA(nullptr), nullptr);
        SendMessageA(hwnd, VM_SET_FACE_COLOUR, 0, kBase);
    }
    Picture Face() const { return Picture(hwnd, 27, 27, kSentinel); }
    // One step of a mouse or parent action, by its letter: h hover, l leave, d down, u up,
    // s, c and 2 the button states 1, 0 and 2.
    void Do(char step) const
    {
        switch (step) {
        case 'h': SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)); break;
        case 'l': SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0); break;
        case 'd': SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); break;
        case 'u': SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); break;
        case 's': SendMessageA(hwnd, BM_SETSTATE, 1, 0); break;
        case 'c': SendMessageA(hwnd, BM_SETSTATE, 0, 0); break;
        case '2': SendMessageA(hwnd, BM_SETSTATE, 2, 0); break;
        }
    }

    TestParent parent;
    HWND hwnd;
};

// Which of the three faces a picture shows (N, H or P), from the rows that tell them apart.
char KindOf(const Picture& face)
{
    if (face.At(5, 1) != kWhite)
        return 'P';  // the pressed face's dark inner line
    return face.At(5, 3) == kLight ? 'N' : 'H';
}

// Row r0 is light; rows r0 + 1 .. r1 run from the base colour towards white, channel by channel.
void ExpectGradient(const Picture& face, int r0, int r1, int x0, COLORREF base, const char* name)
{
    EXPECT_EQ(26 - x0, face.Count(kLight, x0, r0, 26, r0 + 1)) << name << " light row";
    EXPECT_EQ(base, face.At(x0, r0 + 1)) << name;
    for (int y = r0 + 2; y <= r1; ++y) {
        COLORREF above = face.At(x0, y - 1), here = face.At(x0, y);
        EXPECT_GE(GetRValue(here), GetRValue(above)) << name << " row " << y;
        EXPECT_GT(GetGValue(here), GetGValue(above)) << name << " row " << y;
        EXPECT_GE(GetBValue(here), GetBValue(above)) << name << " row " << y;
        EXPECT_EQ(26 - x0, face.Count(here, x0, y, 26, y + 1)) << name << " row " << y;
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
    ExpectGradient(normal, 3, 25, 2, kBase, "normal");
    EXPECT_EQ(25, normal.Count(kWhite, 1, 1, 26, 2));
    EXPECT_EQ(25, normal.Count(kWhite, 1, 2, 26, 3));
    EXPECT_EQ(25, normal.Count(kWhite, 1, 1, 2, 26));
    b.Do('h');
    Picture hover = b.Face();
    ExpectGradient(hover, 5, 25, 3, ShiftLuma(kBase, 20), "hover");
    EXPECT_EQ(4, hover.Count(kWhite, 10, 1, 11, 5));
    EXPECT_EQ(2, hover.Count(kWhite, 1, 15, 3, 16));
    b.Do('d');
    Picture pressed = b.Face();
    ExpectGradient(pressed, 3, 24, 2, kBase, "pressed");

    struct Spot { const Picture& face; int x, y; short luma; };
    for (const Spot& s : { Spot{ normal, 0, 0, -15 }, Spot{ normal, 0, 26, -15 }, Spot{ normal, 26, 0, -50 },
                           Spot{ normal, 13, 26, -50 }, Spot{ normal, 26, 13, -50 },
                           Spot{ hover, 5, 0, -25 }, Spot{ hover, 5, 26, -80 },
                           Spot{ pressed, 1, 1, -100 }, Spot{ pressed, 26, 10, -100 }, Spot{ pressed, 10, 26, -100 },
                           Spot{ pressed, 0, 10, -15 }, Spot{ pressed, 10, 0, -15 }, Spot{ pressed, 10, 25, -15 } })
        EXPECT_EQ(ShiftLuma(kBase, s.luma), s.face.At(s.x, s.y)) << s.x << "," << s.y;
    EXPECT_EQ(kWhite, pressed.At(10, 2));
}

TEST(ToolButton, FacesAndCommandsFollowTheMouseAndTheLatch)
{
    struct Case { const char* name; DWORD style; const char* steps; const char* faces; int commands; };
    for (const Case& k : {
             Case{ "click", 0, "hdul", "HPHN", 1 },
             Case{ "pressed here, released elsewhere", 0, "hdl", "HPN", 0 },
             Case{ "latched by the parent", 0, "shlhcl", "PPPPHN", 0 },
             Case{ "a click unlatches until set again; only state 1 latches", 0, "shdul2", "PPPHNN", 1 },
             Case{ "toggle style latches on click", 0x0001, "hdulhdul", "HPPPPPHN", 2 } }) {
        Button b(k.style);
        std::string faces;
        for (const char* step = k.steps; *step; ++step) {
            b.Do(*step);
            faces += KindOf(b.Face());
        }
        EXPECT_EQ(k.faces, faces) << k.name;
        if (k.commands) {
            EXPECT_EQ(static_cast<WPARAM>(IDM_SHIFT_LEFT), LastCommand()) << k.name;  // BN_CLICKED is 0
            EXPECT_EQ(reinterpret_cast<LPARAM>(b.hwnd), Last(WM_COMMAND)->lParam) << k.name;
        }
        PumpMessages();
        EXPECT_EQ(k.commands, Count(WM_COMMAND)) << k.name;
    }
}

// Buttons are made by class name alone; each window makes its own state.
TEST(ToolButton, EachWindowKeepsItsOwnState)
{
    Button latched, other;
    latched.Do('s');
    other.Do('h');
    EXPECT_EQ('P', KindOf(latched.Face()));
    EXPECT_EQ('H', KindOf(other.Face()));
    DestroyWindow(latched.hwnd);
    other.Do('l');
    EXPECT_EQ('N', KindOf(other.Face()));
}

TEST(ToolButton, KeepsItsOwnCopyOfTheIcon)
{
    Button b;
    // A 22 x 22 opaque red icon.
    WindowDC screen(nullptr);
    std::vector<BYTE> andMask(22 * 4, 0);
    OwnedBitmap colour(CreateCompatibleBitmap(screen, 22, 22)), mask(CreateBitmap(22, 22, 1, 1, andMask.data()));
    {
        MemoryDC dc(screen);
        SelectGuard keep(dc, colour);
        OwnedBrush red(CreateSolidBrush(kRed));
        RECT all = { 0, 0, 22, 22 };
        FillRect(dc, &all, red);
    }
    ICONINFO info = { TRUE, 0, 0, mask, colour };
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(nullptr, icon);

    SendMessageA(b.hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(icon));  // ignored
    EXPECT_EQ(kWhite, b.Face().At(2, 2));
    SendMessageA(b.hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    DestroyIcon(icon);  // the button has its own copy
    // Centred, and one pixel down and right on the pressed face; a new face colour keeps the icon.
    EXPECT_EQ(22 * 22, b.Face().Count(kRed, 2, 2, 24, 24));
    EXPECT_EQ(22 * 22, b.Face().Count(kRed));
    b.Do('s');
    EXPECT_EQ(22 * 22, b.Face().Count(kRed, 3, 3, 25, 25));
    SendMessageA(b.hwnd, VM_SET_FACE_COLOUR, 0, RGB(0, 0, 0));
    Picture dark = b.Face();
    EXPECT_EQ(22 * 22, dark.Count(kRed, 3, 3, 25, 25));
    EXPECT_EQ(RGB(0, 0, 0), dark.At(2, 4));
}
