#include "editor_fixture.h"
#include "editor_process.h"

#include "shell/main_window.h"
#include "shell/startup.h"

namespace {

// The child of this class with its corner at this point of the main window's client area.
HWND ChildAt(HWND parent, const char* className, int x, int y)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        RECT box;
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&box), 2);
        if (lstrcmpiA(name, className) == 0 && box.left == x && box.top == y)
            return child;
    }
    return nullptr;
}

// The icon's own 16 x 16 picture, taken from its resource entry of that size.
HICON IconDrawnFor16()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDI_PROGRAM), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    const int id = LookupIconIdFromDirectoryEx(static_cast<BYTE*>(LockResource(LoadResource(module, group))), TRUE,
                                               16, 16, LR_DEFAULTCOLOR);
    HRSRC entry = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
    return CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, entry))),
                                    SizeofResource(module, entry), TRUE, 0x00030000, 16, 16, LR_DEFAULTCOLOR);
}

// What an icon shows at 16 x 16 over black.
std::vector<COLORREF> DrawnAt16(HICON icon)
{
    WindowDC screen(nullptr);
    MemoryDC dc(screen);
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen, 16, 16));
    SelectGuard keep(dc, bitmap);
    RECT all = {0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < 256; ++i)
        pixels.push_back(GetPixel(dc, i % 16, i / 16));
    return pixels;
}

// The size of a window.
SIZE Extent(HWND window)
{
    RECT box = {};
    GetWindowRect(window, &box);
    return {box.right - box.left, box.bottom - box.top};
}

}  // namespace

TEST_F(EditorTest, RegistersTheFiveClassesWithTheirStyles)
{
    struct Case { const char* name; UINT style; };
    for (const Case& c : {Case{"VemiroClassApp1_4", CS_DBLCLKS}, Case{"QzButtonCtrlClass32", CS_HREDRAW | CS_VREDRAW},
                          Case{"WndPaletteClass", CS_DBLCLKS}, Case{"WndIconEditClass", CS_DBLCLKS},
                          Case{"WndIconPreviewClass", CS_DBLCLKS}}) {
        WNDCLASSEXA info = {};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), c.name, &info)) << c.name;
        EXPECT_EQ(c.style, info.style) << c.name;
        if (std::string(c.name) == MainWindowClass) {
            EXPECT_EQ(MAKEINTRESOURCEA(IDR_MAIN_MENU), info.lpszMenuName);
            EXPECT_NE(nullptr, info.hIcon);
            EXPECT_EQ(DrawnAt16(info.hIconSm), DrawnAt16(IconDrawnFor16()));
        }
    }
    // A second registration of the same classes is refused, and start-up would stop.
    EXPECT_FALSE(RegisterEditorClasses(GetModuleHandleA(nullptr)));
}

// Each main window works on the editor it was made with: a second one beside
// the first shares neither its document nor its bars.
TEST_F(EditorTest, TwoEditorsInOneProcessShareNothing)
{
    Editor other(GetModuleHandleA(nullptr));
    HWND second = CreateMainWindow(other);
    ASSERT_NE(nullptr, second);
    NewDocument(k16, kBits4);
    EXPECT_TRUE(Document().IsOpen());
    EXPECT_EQ(std::string(AppTitle) + "  : [ nouveau ]", WindowText(main_));
    EXPECT_FALSE(other.document.IsOpen());
    EXPECT_EQ(AppTitle, WindowText(second));
    EXPECT_EQ("", WindowText(GetDlgItem(second, IDC_FORMAT_BOX)));
    EXPECT_NE("", ChildText(IDC_FORMAT_BOX));
    DestroyWindow(second);
    PumpMessages();
}

TEST_F(EditorTest, FixedWindowWithItsChildrenInPlace)
{
    EXPECT_EQ(640, Extent(main_).cx);
    EXPECT_EQ(490, Extent(main_).cy);
    const LONG style = GetWindowLongA(main_, GWL_STYLE);
    EXPECT_EQ(WS_MINIMIZEBOX, style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));

    const LONG kGroup = WS_CHILD | WS_VISIBLE | BS_GROUPBOX, kShown = WS_CHILD | WS_VISIBLE;
    const LONG kReadOnly = kShown | ES_READONLY | ES_CENTER;
    struct Case { const char* className; const char* text; int x, y, w, h, id; LONG style; bool font; };
    const Case cases[] = {
        {"Button", "Couleur", 10, 35, 95, 70, 0, kGroup, true},
        {"Button", "Outils", 10, 115, 95, 130, 0, kGroup, true},
        {"Button", "Effets", 10, 255, 95, 85, 0, kGroup, true},
        {"Button", "Point curseur", 10, 350, 95, 51, 0, kGroup, true},
        {"Button", "Edition", 120, 35, 300, 305, 0, kGroup, true},
        {"Button", "Index et format d'image", 120, 350, 300, 51, 0, kGroup, true},
        {"Button", "Aperçu", 435, 35, 185, 150, 0, kGroup, true},
        {"Button", "Palette de couleur", 435, 195, 185, 206, 0, kGroup, true},
        {"static", "Index :", 140, 373, 40, 20, 0, kShown, true},
        {"combobox", "", 180, 370, 42, 0, IDC_IMAGE_INDEX_BOX, kShown | CBS_DROPDOWNLIST, true},  // own height
        {"static", "Format :", 250, 373, 40, 20, 0, kShown, true},
        {"edit", "", 295, 370, 110, 22, IDC_FORMAT_BOX, kReadOnly, true},
        {"static", "", 30, 54, 54, 40, 0, kShown | SS_OWNERDRAW, false},
        {"edit", "", 20, 372, 75, 18, 0, kReadOnly, true},
        {"WndPaletteClass", "", 447, 212, 161, 185, 0, kShown, false},
        {"WndIconPreviewClass", "", 463, 52, 128, 128, 0, kShown, false},
        {"WndIconEditClass", "", 141, 62, 258, 258, 0, kShown | WS_BORDER, false},
    };
    for (const Case& c : cases) {
        HWND child = ChildAt(main_, c.className, c.x, c.y);
        ASSERT_NE(nullptr, child) << c.className << " at " << c.x << ", " << c.y;
        EXPECT_EQ(c.w, Extent(child).cx) << c.text;
        EXPECT_EQ(c.h ? c.h : Extent(child).cy, Extent(child).cy) << c.text;
        EXPECT_EQ(c.text, WindowText(child));
        EXPECT_EQ(c.id, GetDlgCtrlID(child)) << c.text;
        EXPECT_EQ(c.style, GetWindowLongA(child, GWL_STYLE) & (c.style | 3)) << c.text;
        EXPECT_EQ(c.font, SendMessageA(child, WM_GETFONT, 0, 0) ==
                              reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT))) << c.text;
    }
    // The tool buttons, then the effect buttons, in grids of three 27-pixel squares.
    for (int i = 0; i < 15; ++i) {
        const int slot = i < 9 ? i : i - 9;
        const int x = 17 + 27 * (slot % 3), y = (i < 9 ? 145 : 275) + 27 * (slot / 3);
        HWND button = ChildAt(main_, "QzButtonCtrlClass32", x, y);
        EXPECT_EQ(i < 9 ? IDM_PENCIL + slot : IDM_SHIFT_LEFT + slot, GetDlgCtrlID(button)) << i;
        EXPECT_EQ(27, Extent(button).cx) << i;
    }
}

TEST_F(EditorTest, CommandLineFileIsOpenedAndShown)
{
    std::wstring program = L"Vemiro.exe", path = W(FixtureCopy("icotool_depths.ico", "start.ico")), ignored = L"x.ico";
    wchar_t* argv[] = {&program[0], &path[0], &ignored[0], nullptr};
    ASSERT_TRUE(OpenCommandLineFile(*editor_, main_, 3, argv));
    PumpMessages();
    ExpectDocumentShown("start.ico", {"1", "2", "3", "4", "5"}, "16x16x1-bits");
    EXPECT_FALSE(StatusText(1).empty());
    ExpectEnabled("opened", {{IDM_SAVE, false}});
    // Each pixel a 16 x 16 block, the transparent ones showing the button face.
    const std::vector<BYTE> rgba = ReadWholeFile(FixturePath("icotool_depths.ico.rgba"));
    ASSERT_GE(rgba.size(), 1024u);
    const Picture shown(editor_->canvas.GetEditWindow(), 256, 256, RGB(1, 2, 3));
    for (int i = 0; i < 256; ++i) {
        const BYTE* p = &rgba[4 * i];
        EXPECT_EQ(p[3] ? RGB(p[0], p[1], p[2]) : GetSysColor(COLOR_BTNFACE), shown.At(i % 16 * 16 + 8, i / 16 * 16 + 8))
            << i % 16 << ", " << i / 16;
    }
}

TEST_F(EditorTest, StartsWithoutADocumentAlsoWhenTheCommandLineFileDoesNotOpen)
{
    std::wstring program = L"Vemiro.exe";
    std::string missing = FreshOutputPath("missing.ico");
    std::string notAnIcon = FreshOutputPath("not-an-icon.ico");
    ASSERT_TRUE(WriteBitmapFile(notAnIcon, 16, RGB(1, 2, 3)));
    struct Case { std::string path; const char* why; };
    for (Case c : {Case{std::string(), nullptr}, Case{missing, "Il est introuvable ou ne peut pas être lu."},
                   Case{notAnIcon, "Ce n'est pas un fichier icône ou curseur."}}) {
        std::string& path = c.path;
        std::wstring wide = W(path);
        wchar_t* argv[] = {&program[0], path.empty() ? nullptr : &wide[0], nullptr};
        DialogScript told(c.why ? std::vector<DialogScript::Action>{Press(IDOK)} : std::vector<DialogScript::Action>{});
        EXPECT_FALSE(OpenCommandLineFile(*editor_, main_, path.empty() ? 1 : 2, argv)) << path;
        PumpMessages();
        ASSERT_EQ(c.why ? 1u : 0u, told.Seen().size()) << path;
        if (c.why) {
            EXPECT_EQ("Le fichier « " + path + " » n'a pas pu être ouvert.\n" + c.why, told.Seen()[0].text);
        }
        ExpectNoDocumentShown();
        EXPECT_TRUE(PopupEnabled(0));
        EXPECT_TRUE(PopupEnabled(1));
        ExpectEnabled("no document", {{IDM_NEW, true}, {IDM_OPEN, true}, {IDM_SAVE, false}, {IDM_UNDO, false},
                                      {IDM_REDO, false}, {IDM_CUT, false}, {IDM_COPY, false}, {IDM_PASTE, false},
                                      {IDM_SELECT_ALL, false}});
    }
    ASSERT_EQ(5, SendMessageA(editor_->shell.statusBar, SB_GETPARTS, 0, 0));
    int edges[5] = {};
    SendMessageA(editor_->shell.statusBar, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ((std::vector<int>{340, 440, 540, 610}), std::vector<int>(edges, edges + 4));
    for (int id = IDM_PENCIL; id <= IDM_SELECT; ++id)
        EXPECT_EQ(id == IDM_PENCIL, ToolButtonPressed(id)) << id;
}

// The real program: opens the file named on its command line, ignores the
// rest, and ends with exit code 0 when its window is closed.
TEST(Program, OpensItsCommandLineFileAndQuitsCleanly)
{
    const std::string file = FixtureCopy("magick_rgba.ico", "from command line.ico");
    EditorProcess editor("\"" + file + "\" \"second argument.ico\"");
    ASSERT_TRUE(editor.Started()) << "Vemiro.exe is built beside the tests";
    // Its frame, once the title names the file.
    HWND frame = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (frame = editor.Window(MainWindowClass, "[ from command line.ico ]")); }, 10000));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    DWORD exitCode = 1234;
    EXPECT_TRUE(editor.Ended(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}
