#include "editor_fixture.h"

#include <commctrl.h>

#include "document/icon_document.h"
#include "shell/editor_objects.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "win/identifiers.h"

namespace {

struct ChildFound
{
    const char* className;
    int x, y;
    HWND window;
};

BOOL CALLBACK FindChildAt(HWND child, LPARAM param)
{
    ChildFound* wanted = reinterpret_cast<ChildFound*>(param);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    RECT box;
    GetWindowRect(child, &box);
    POINT corner = {box.left, box.top};
    ScreenToClient(GetParent(child), &corner);
    if (lstrcmpiA(name, wanted->className) == 0 && corner.x == wanted->x && corner.y == wanted->y) {
        wanted->window = child;
        return FALSE;
    }
    return TRUE;
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
    }
    WNDCLASSEXA frame = {};
    frame.cbSize = sizeof frame;
    GetClassInfoExA(GetModuleHandleA(nullptr), MainWindowClass, &frame);
    EXPECT_EQ(MAKEINTRESOURCEA(IdrMainMenu), frame.lpszMenuName);
    EXPECT_NE(nullptr, frame.hIcon);
    // A second registration of the same classes is refused, and start-up would stop.
    EXPECT_FALSE(RegisterEditorClasses(GetModuleHandleA(nullptr)));
}

TEST_F(EditorTest, MainWindowHasFixedSizeAndNoSizingBorder)
{
    RECT outer;
    GetWindowRect(main_, &outer);
    EXPECT_EQ(MainWindowWidth, outer.right - outer.left);
    EXPECT_EQ(MainWindowHeight, outer.bottom - outer.top);
    const LONG style = GetWindowLongA(main_, GWL_STYLE);
    EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_NE(0, style & WS_MINIMIZEBOX);
    EXPECT_NE(nullptr, GetMenu(main_));
    EXPECT_EQ(main_, TheDocument().GetOwnerWindow());
}

TEST_F(EditorTest, ChildrenSitAtTheirPlacesWithTheirTexts)
{
    const LONG kGroup = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
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
        {"static", "Index :", 140, 373, 40, 20, 0, WS_CHILD | WS_VISIBLE, true},
        {"static", "Format :", 250, 373, 40, 20, 0, WS_CHILD | WS_VISIBLE, true},
        {"edit", "", 295, 370, 110, 22, IdFormatBox, WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER, true},
        {"static", "", 30, 54, 54, 40, 0, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, false},
        {"edit", "", 20, 372, 75, 18, 0, WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER, true},
        {"WndPaletteClass", "", 447, 212, 161, 185, 0, WS_CHILD | WS_VISIBLE, false},
        {"WndIconPreviewClass", "", 463, 52, 128, 128, 0, WS_CHILD | WS_VISIBLE, false},
        {"WndIconEditClass", "", 141, 62, 258, 258, 0, WS_CHILD | WS_VISIBLE | WS_BORDER, false},
    };
    for (const Case& c : cases) {
        ChildFound found = {c.className, c.x, c.y, nullptr};
        EnumChildWindows(main_, FindChildAt, reinterpret_cast<LPARAM>(&found));
        ASSERT_NE(nullptr, found.window) << c.className << " at " << c.x << ", " << c.y;
        RECT box;
        GetWindowRect(found.window, &box);
        EXPECT_EQ(c.w, box.right - box.left) << c.text;
        EXPECT_EQ(c.h, box.bottom - box.top) << c.text;
        EXPECT_EQ(c.text, WindowText(found.window));
        EXPECT_EQ(c.id, GetDlgCtrlID(found.window)) << c.text;
        EXPECT_EQ(c.style, GetWindowLongA(found.window, GWL_STYLE) & c.style) << c.text;
        const bool hasGuiFont = SendMessageA(found.window, WM_GETFONT, 0, 0) ==
                                reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
        EXPECT_EQ(c.font, hasGuiFont) << c.className << " " << c.text;
    }
    // The index box is a drop-down list of its own size.
    HWND index = GetDlgItem(main_, IdImageIndexBox);
    ASSERT_NE(nullptr, index);
    EXPECT_EQ(CBS_DROPDOWNLIST, GetWindowLongA(index, GWL_STYLE) & 3);
    // The view objects know their windows.
    EXPECT_EQ(main_, GetParent(ThePalette().GetPaletteWindow()));
    EXPECT_EQ(main_, GetParent(ThePreview().GetPreviewWindow()));
    EXPECT_EQ(main_, GetParent(TheCanvas().GetEditWindow()));
}

TEST_F(EditorTest, ToolAndEffectButtonsFormTwoGrids)
{
    for (int i = 0; i < 15; ++i) {
        const bool tool = i < 9;
        const int slot = tool ? i : i - 9;
        const int id = tool ? CmdToolFirst + slot : CmdShiftLeft + slot;
        HWND button = GetDlgItem(main_, id);
        ASSERT_NE(nullptr, button) << id;
        RECT box;
        GetWindowRect(button, &box);
        POINT corner = {box.left, box.top};
        ScreenToClient(main_, &corner);
        EXPECT_EQ(17 + 27 * (slot % 3), corner.x) << id;
        EXPECT_EQ((tool ? 145 : 275) + 27 * (slot / 3), corner.y) << id;
        EXPECT_EQ(27, box.right - box.left);
        char name[64] = "";
        GetClassNameA(button, name, sizeof name);
        EXPECT_STREQ("QzButtonCtrlClass32", name);
    }
}

TEST_F(EditorTest, StartsInTheNoDocumentState)
{
    EXPECT_EQ("Vemiro Editor 1.4", WindowText(main_));
    EXPECT_EQ("Prêt", StatusText(0));
    for (int part = 1; part <= 4; ++part)
        EXPECT_EQ("", StatusText(part)) << part;
    EXPECT_EQ(5, SendMessageA(Shell().statusBar, SB_GETPARTS, 0, 0));
    int edges[5] = {};
    SendMessageA(Shell().statusBar, SB_GETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(340, edges[0]);
    EXPECT_EQ(440, edges[1]);
    EXPECT_EQ(540, edges[2]);
    EXPECT_EQ(610, edges[3]);
    EXPECT_TRUE(IndexEntries().empty());
    EXPECT_EQ("", ChildText(IdFormatBox));
    EXPECT_EQ("", HotspotText());
    EXPECT_FALSE(PopupEnabled(2));
    EXPECT_FALSE(PopupEnabled(3));
    EXPECT_TRUE(PopupEnabled(0));
    EXPECT_TRUE(PopupEnabled(1));
    struct Case { int command; bool enabled; };
    for (const Case& c : {Case{CmdNew, true}, Case{CmdOpen, true}, Case{CmdSave, false}, Case{CmdUndo, false},
                          Case{CmdRedo, false}, Case{CmdCut, false}, Case{CmdCopy, false}, Case{CmdPaste, false}})
        EXPECT_EQ(c.enabled, ToolbarEnabled(c.command)) << c.command;
    EXPECT_TRUE(ToolButtonPressed(CmdToolFirst));
    for (int id = CmdToolFirst + 1; id <= CmdToolLast; ++id)
        EXPECT_FALSE(ToolButtonPressed(id)) << id;
}

TEST_F(EditorTest, CommandLineFileIsOpenedAndShown)
{
    const std::string path = FreshOutputPath("start.ico");
    ASSERT_TRUE(WriteIconFileByHand(path, {{16, 32, RGB(255, 0, 0), 0}, {32, 24, RGB(0, 0, 255), 8}}, false));
    const std::string ignored = FreshOutputPath("never.ico");
    std::string program = "Vemiro.exe";
    char* argv[] = {&program[0], const_cast<char*>(path.c_str()), const_cast<char*>(ignored.c_str()), nullptr};
    ASSERT_TRUE(OpenCommandLineFile(main_, 3, argv));
    PumpMessages();
    EXPECT_EQ("Vemiro Editor 1.4  : [ start.ico ]", WindowText(main_));
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), IndexEntries());
    EXPECT_EQ(0, IndexSelection());
    EXPECT_EQ("16x16x32-bits", ChildText(IdFormatBox));
    WORD hotX = 0, hotY = 0;
    TheDocument().GetCurrentImage()->GetHotspot(&hotX, &hotY);
    EXPECT_EQ(std::to_string(hotX) + " - " + std::to_string(hotY), HotspotText());
    EXPECT_EQ("Dessine une ligne quelconque ou des points détachés", StatusText(0));
    EXPECT_FALSE(StatusText(1).empty());
    EXPECT_TRUE(PopupEnabled(2));
    EXPECT_TRUE(PopupEnabled(3));
    EXPECT_FALSE(ToolbarEnabled(CmdSave));
    // The canvas shows the red image, each pixel as a 16 x 16 block.
    EXPECT_EQ(RGB(255, 0, 0), CanvasPixel(8, 8));
    EXPECT_EQ(RGB(255, 0, 0), CanvasPixel(250, 250));
}

TEST_F(EditorTest, CommandLineFileThatDoesNotOpenLeavesNoDocument)
{
    const std::string missing = FreshOutputPath("missing.ico");
    const std::string notAnIcon = FreshOutputPath("not-an-icon.ico");
    ASSERT_TRUE(WriteBitmapFileByHand(notAnIcon, 16, RGB(1, 2, 3)));
    std::string program = "Vemiro.exe";
    for (const std::string& path : {missing, notAnIcon}) {
        char* argv[] = {&program[0], const_cast<char*>(path.c_str()), nullptr};
        EXPECT_FALSE(OpenCommandLineFile(main_, 2, argv)) << path;
        PumpMessages();
        EXPECT_EQ("Vemiro Editor 1.4", WindowText(main_));
        EXPECT_TRUE(IndexEntries().empty());
        EXPECT_EQ("Prêt", StatusText(0));
    }
    char* alone[] = {&program[0], nullptr};
    EXPECT_FALSE(OpenCommandLineFile(main_, 1, alone));
}
