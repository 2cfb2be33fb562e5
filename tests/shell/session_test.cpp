#include "editor_fixture.h"

#include <commctrl.h>

#include "document/icon_document.h"
#include "shell/editor_objects.h"
#include "views/edit_view.h"
#include "win/identifiers.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

// Positions in the new image dialog's lists.
const int k16 = 0, k32 = 1, k48 = 2;
const int kBits4 = 1, kBits8 = 2, kBits24 = 3;

IconImage* Current()
{
    return TheDocument().GetCurrentImage();
}

WORD FileType(const std::string& path)
{
    const std::vector<BYTE> bytes = ReadWholeFile(path);
    return bytes.size() >= 6 ? static_cast<WORD>(bytes[2] | (bytes[3] << 8)) : 0;
}

}  // namespace

class SessionTest : public EditorTest
{
protected:
    // A 16 x 16, 24-bit document with red on the left button and the pencil.
    void NewRedPencilDocument()
    {
        NewDocument(k16, kBits24);
        ChooseColour(kRed, true);
        Command(CmdToolFirst + ToolPencil);
    }
    void DrawPixel(int px, int py)
    {
        const POINT at = PixelCentre(px, py);
        Click(at.x, at.y);
    }
    COLORREF ShownPixel(int px, int py)
    {
        const POINT at = PixelCentre(px, py);
        return CanvasPixel(at.x, at.y);
    }
};

TEST_F(SessionTest, NewDocumentShowsItsStateEverywhere)
{
    NewDocument(k48, kBits4);
    EXPECT_EQ("Vemiro Editor 1.4  : [ nouveau ]", WindowText(main_));
    EXPECT_EQ((std::vector<std::string>{"1"}), IndexEntries());
    EXPECT_EQ(0, IndexSelection());
    EXPECT_EQ("48x48x4-bits", ChildText(IdFormatBox));
    EXPECT_FALSE(HotspotText().empty());
    EXPECT_EQ("Dessine une ligne quelconque ou des points détachés", StatusText(0));
    EXPECT_TRUE(PopupEnabled(2));
    EXPECT_TRUE(PopupEnabled(3));
    EXPECT_FALSE(ToolbarEnabled(CmdSave));
    EXPECT_FALSE(TheDocument().IsModified());

    // Nouveau again replaces the document instead of adding to it.
    NewDocument(k32, kBits8);
    EXPECT_EQ((std::vector<std::string>{"1"}), IndexEntries());
    EXPECT_EQ("32x32x8-bits", ChildText(IdFormatBox));
}

TEST_F(SessionTest, MenuAndToolbarFollowTheDocumentThroughASession)
{
    EmptyClipboard();
    struct Expect { int popup; int command; bool enabled; };
    auto check = [this](const char* step, std::initializer_list<Expect> expects) {
        for (const Expect& e : expects)
            EXPECT_EQ(e.enabled, MenuItemEnabled(e.popup, e.command)) << step << ": item " << e.command;
    };
    check("no document", {{0, CmdSave, false}, {0, CmdSaveAs, false}, {0, CmdClose, false}, {0, CmdNew, true},
                          {1, CmdUndo, false}, {1, CmdRedo, false}, {1, CmdCut, false}, {1, CmdCopy, false},
                          {1, CmdPaste, false}, {1, CmdSelectAll, false}});

    NewRedPencilDocument();
    check("new", {{0, CmdSave, false}, {0, CmdSaveAs, true}, {0, CmdClose, true}, {1, CmdUndo, false},
                  {1, CmdCut, false}, {1, CmdPaste, false}, {1, CmdSelectAll, true}, {3, CmdDeleteImage, false},
                  {3, CmdRestoreImage, false}});

    DrawPixel(2, 2);
    check("drawn", {{0, CmdSave, true}, {1, CmdUndo, true}, {1, CmdRedo, false}});
    EXPECT_TRUE(ToolbarEnabled(CmdSave));
    EXPECT_TRUE(ToolbarEnabled(CmdUndo));
    EXPECT_FALSE(ToolbarEnabled(CmdRedo));

    Command(CmdUndo);
    check("undone", {{1, CmdUndo, false}, {1, CmdRedo, true}});
    EXPECT_TRUE(ToolbarEnabled(CmdRedo));
    EXPECT_FALSE(ToolbarEnabled(CmdUndo));
    Command(CmdRedo);

    const std::string path = FreshOutputPath("session.ico");
    {
        DialogScript script;
        script.Then(ChooseFile(path));
        Command(CmdSave);
        EXPECT_TRUE(script.Finished());
    }
    check("saved", {{0, CmdSave, false}, {0, CmdSaveAs, true}});
    EXPECT_FALSE(ToolbarEnabled(CmdSave));

    Command(CmdToolFirst + ToolSelect);
    const POINT from = PixelCentre(1, 1), to = PixelCentre(4, 4);
    Drag(from.x, from.y, to.x, to.y);
    check("selection", {{1, CmdCut, true}, {1, CmdCopy, true}, {1, CmdPaste, false}});
    EXPECT_TRUE(ToolbarEnabled(CmdCut));
    EXPECT_TRUE(ToolbarEnabled(CmdCopy));
    EXPECT_FALSE(ToolbarEnabled(CmdPaste));

    Command(CmdCopy);
    check("copied", {{1, CmdPaste, true}});
    EXPECT_TRUE(ToolbarEnabled(CmdPaste));

    // A press in the canvas removes the frame, and with it Cut and Copy.
    Command(CmdToolFirst + ToolPencil);
    Click(from.x, from.y);
    check("frame removed", {{1, CmdCut, false}, {1, CmdCopy, false}});
    EXPECT_FALSE(ToolbarEnabled(CmdCut));

    // Opening the "Ajouter une image" sub-menu (position 0 of its pop-up) changes nothing.
    HMENU image = GetSubMenu(GetMenu(main_), 3);
    HMENU add = GetSubMenu(image, 0);
    ASSERT_NE(nullptr, add);
    const UINT before = GetMenuState(add, CmdAddBlankImage, MF_BYCOMMAND);
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(add), 0);
    EXPECT_EQ(before, GetMenuState(add, CmdAddBlankImage, MF_BYCOMMAND));

    {
        DialogScript script;
        script.Then(Press(IDNO));
        Command(CmdClose);
        EXPECT_TRUE(script.Finished());
    }
    check("closed", {{0, CmdSave, false}, {0, CmdClose, false}, {1, CmdPaste, false}, {1, CmdSelectAll, false}});
    EXPECT_FALSE(PopupEnabled(2));
    EXPECT_FALSE(PopupEnabled(3));
    EXPECT_FALSE(ToolbarEnabled(CmdPaste));
}

TEST_F(SessionTest, DrawingWithThePencilThenUndoAndRedoFromTheMenu)
{
    NewRedPencilDocument();
    const COLORREF before = ShownPixel(3, 1);
    ASSERT_NE(kRed, before);
    const POINT from = PixelCentre(1, 1), to = PixelCentre(6, 1);
    Drag(from.x, from.y, to.x, to.y);
    for (int x = 1; x <= 6; ++x)
        EXPECT_EQ(kRed, ShownPixel(x, 1)) << x;
    EXPECT_NE(kRed, ShownPixel(7, 1));
    EXPECT_TRUE(TheDocument().IsModified());

    // The status bar follows the pointer over the canvas.
    SendMessageA(TheCanvas().GetEditWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(PixelCentre(5, 9).x, PixelCentre(5, 9).y));
    EXPECT_EQ(" 5 - 9", StatusText(3));

    Command(CmdUndo);
    EXPECT_EQ(before, ShownPixel(3, 1));
    Command(CmdRedo);
    EXPECT_EQ(kRed, ShownPixel(3, 1));
}

TEST_F(SessionTest, SelectionIsShiftedCopiedCutAndPasted)
{
    EmptyClipboard();
    NewRedPencilDocument();
    DrawPixel(2, 2);
    Command(CmdToolFirst + ToolSelect);
    const POINT from = PixelCentre(2, 2), to = PixelCentre(3, 3);
    Drag(from.x, from.y, to.x, to.y);
    ASSERT_TRUE(TheDocument().HasSelection());
    EXPECT_EQ(2, TheDocument().GetSelection().left);

    Command(CmdShiftRight);
    EXPECT_EQ(kRed, Current()->GetPixelColour(3, 2));
    EXPECT_NE(kRed, Current()->GetPixelColour(2, 2));
    EXPECT_EQ(3, TheDocument().GetSelection().left);
    EXPECT_TRUE(ToolbarEnabled(CmdCut));

    Command(CmdCopy);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_TRUE(ToolbarEnabled(CmdPaste));

    ChooseColour(kWhite, false);
    Command(CmdCut);
    EXPECT_EQ(kWhite, Current()->GetPixelColour(3, 2));
    EXPECT_EQ(kWhite, ShownPixel(3, 2));

    Command(CmdPaste);
    EXPECT_EQ(kRed, Current()->GetPixelColour(3, 2));
    EXPECT_EQ(kRed, ShownPixel(3, 2));
    EXPECT_TRUE(ToolbarEnabled(CmdUndo));
    Command(CmdUndo);
    EXPECT_EQ(kWhite, Current()->GetPixelColour(3, 2));
}

TEST_F(SessionTest, SelectAllThenShiftMovesTheWholeImage)
{
    NewRedPencilDocument();
    DrawPixel(0, 0);
    DrawPixel(15, 15);
    ASSERT_TRUE(MenuItemEnabled(1, CmdSelectAll));
    Command(CmdSelectAll);
    ASSERT_TRUE(TheDocument().HasSelection());
    const RECT all = TheDocument().GetSelection();
    EXPECT_EQ(0, all.left);
    EXPECT_EQ(0, all.top);
    EXPECT_EQ(16, all.right);
    EXPECT_EQ(16, all.bottom);
    EXPECT_TRUE(ToolbarEnabled(CmdCut));
    EXPECT_TRUE(ToolbarEnabled(CmdCopy));
    Command(CmdShiftDown);
    EXPECT_EQ(kRed, Current()->GetPixelColour(0, 1));
    EXPECT_NE(kRed, Current()->GetPixelColour(0, 0));
    EXPECT_EQ(kRed, ShownPixel(0, 1));
}

TEST_F(SessionTest, ToolButtonsFollowTheChosenTool)
{
    NewRedPencilDocument();
    struct Case { int tool; const char* hint; };
    for (const Case& c : {Case{ToolFill, "Colorie toute la surface de même teinte"},
                          Case{ToolEllipse, "Dessine une ellipse"},
                          Case{ToolSelect, "Sélectionne une partie de l'image"},
                          Case{ToolPencil, "Dessine une ligne quelconque ou des points détachés"}}) {
        Command(CmdToolFirst + c.tool);
        for (int id = CmdToolFirst; id <= CmdToolLast; ++id)
            EXPECT_EQ(id == CmdToolFirst + c.tool, ToolButtonPressed(id)) << c.tool << " " << id;
        EXPECT_EQ(c.hint, StatusText(0));
        EXPECT_EQ(c.tool, TheCanvas().GetTool());
    }
    // The picker acts once and hands back to the tool used before it.
    Command(CmdToolFirst + ToolLine);
    Command(CmdToolFirst + ToolPicker);
    EXPECT_TRUE(ToolButtonPressed(CmdToolFirst + ToolPicker));
    DrawPixel(5, 5);
    EXPECT_EQ(ToolLine, TheCanvas().GetTool());
    EXPECT_TRUE(ToolButtonPressed(CmdToolFirst + ToolLine));
    EXPECT_FALSE(ToolButtonPressed(CmdToolFirst + ToolPicker));
    EXPECT_EQ("Dessine une ligne droite", StatusText(0));

    // Without a document the buttons still move, and the hint stays "Prêt".
    Command(CmdClose);
    Command(CmdToolFirst + ToolEraser);
    EXPECT_TRUE(ToolButtonPressed(CmdToolFirst + ToolEraser));
    EXPECT_EQ("Prêt", StatusText(0));
    Command(CmdToolFirst + ToolPencil);
}

TEST_F(SessionTest, ImagesAreAddedDeletedRestoredAndChosenInTheIndexBox)
{
    NewDocument(k16, kBits8);
    {
        DialogScript script;
        script.Then(PickFormat(k32, kBits4, IDOK));
        Command(CmdAddBlankImage);
        EXPECT_TRUE(script.Finished());
    }
    {
        const std::string bitmap = FreshOutputPath("added.bmp");
        ASSERT_TRUE(WriteBitmapFileByHand(bitmap, 48, RGB(0, 128, 0)));
        DialogScript script;
        script.Then(ChooseFile(bitmap));
        Command(CmdAddBitmapImage);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), IndexEntries());
    EXPECT_EQ(2, IndexSelection());
    EXPECT_EQ("48x48x24-bits", ChildText(IdFormatBox));
    EXPECT_TRUE(MenuItemEnabled(3, CmdDeleteImage));

    HWND box = GetDlgItem(main_, IdImageIndexBox);
    SendMessageA(box, CB_SETCURSEL, 1, 0);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IdImageIndexBox, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpMessages();
    EXPECT_EQ(1, TheDocument().GetCurrentIndex());
    EXPECT_EQ("32x32x4-bits", ChildText(IdFormatBox));
    EXPECT_EQ(1, IndexSelection());

    Command(CmdDeleteImage);
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), IndexEntries());
    EXPECT_EQ("16x16x8-bits", ChildText(IdFormatBox));
    EXPECT_TRUE(MenuItemEnabled(3, CmdRestoreImage));
    Command(CmdRestoreImage);
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), IndexEntries());
    EXPECT_EQ("32x32x4-bits", ChildText(IdFormatBox));
    EXPECT_FALSE(MenuItemEnabled(3, CmdRestoreImage));
}

TEST_F(SessionTest, AddingAndDeletingImagesDoNotMarkTheDocumentModified)
{
    NewDocument(k16, kBits8);
    DialogScript script;
    script.Then(PickFormat(k16, kBits24, IDOK));
    Command(CmdAddBlankImage);
    Command(CmdDeleteImage);
    Command(CmdRestoreImage);
    EXPECT_FALSE(MenuItemEnabled(0, CmdSave));
    EXPECT_FALSE(ToolbarEnabled(CmdSave));
    // A mirror does.
    Command(CmdMirrorHorizontal);
    EXPECT_TRUE(MenuItemEnabled(0, CmdSave));
    EXPECT_TRUE(ToolbarEnabled(CmdSave));
}

TEST_F(SessionTest, SavedAsCursorAndIconThenOpenedAgain)
{
    NewRedPencilDocument();
    DrawPixel(4, 5);
    Command(CmdToolFirst + ToolHotspot);
    DrawPixel(3, 12);
    EXPECT_EQ("3 - 12", HotspotText());

    const std::string cursor = FreshOutputPath("drawn.cur");
    {
        DialogScript script;
        script.Then(ChooseFile(cursor));
        Command(CmdSaveAs);
        EXPECT_TRUE(script.Finished());
    }
    ASSERT_TRUE(FileExists(cursor));
    EXPECT_EQ(2, FileType(cursor));
    const std::vector<BYTE> bytes = ReadWholeFile(cursor);
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(3, bytes[10] | (bytes[11] << 8));   // hotspot x of the directory entry
    EXPECT_EQ(12, bytes[12] | (bytes[13] << 8));  // hotspot y
    EXPECT_EQ("Vemiro Editor 1.4  : [ drawn.cur ]", WindowText(main_));
    EXPECT_FALSE(ToolbarEnabled(CmdSave));

    const std::string icon = FreshOutputPath("drawn.ico");
    {
        DialogScript script;
        script.Then(ChooseFile(icon));
        Command(CmdSaveAs);
    }
    ASSERT_TRUE(FileExists(icon));
    EXPECT_EQ(1, FileType(icon));
    EXPECT_EQ("Vemiro Editor 1.4  : [ drawn.ico ]", WindowText(main_));

    // Save writes to the current path without a dialog.
    Command(CmdToolFirst + ToolPencil);
    DrawPixel(9, 9);
    const size_t sizeBefore = ReadWholeFile(icon).size();
    DeleteFileA(icon.c_str());
    {
        DialogScript script;
        Command(CmdSave);
        EXPECT_TRUE(script.Seen().empty());
    }
    EXPECT_EQ(sizeBefore, ReadWholeFile(icon).size());

    Command(CmdClose);
    OpenFileByMenu(cursor);
    EXPECT_EQ("Vemiro Editor 1.4  : [ drawn.cur ]", WindowText(main_));
    EXPECT_EQ("16x16x24-bits", ChildText(IdFormatBox));
    EXPECT_EQ(kRed, ShownPixel(4, 5));
    EXPECT_NE(kRed, ShownPixel(9, 9));
    OpenFileByMenu(icon);
    EXPECT_EQ(kRed, ShownPixel(9, 9));
}

TEST_F(SessionTest, ImportedBitmapBecomesANewModifiedDocument)
{
    NewDocument(k16, kBits8);
    const std::string bitmap = FreshOutputPath("imported.bmp");
    ASSERT_TRUE(WriteBitmapFileByHand(bitmap, 32, RGB(0, 0, 255)));
    DialogScript script;
    script.Then(ChooseFile(bitmap));
    Command(CmdImportBitmap);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ((std::vector<std::string>{"1"}), IndexEntries());
    EXPECT_EQ("32x32x24-bits", ChildText(IdFormatBox));
    EXPECT_EQ("Vemiro Editor 1.4  : [ nouveau ]", WindowText(main_));
    EXPECT_EQ(RGB(0, 0, 255), ShownPixel(10, 10));
    EXPECT_TRUE(MenuItemEnabled(0, CmdSave));
}

TEST_F(SessionTest, CloseEmptiesEveryBox)
{
    NewRedPencilDocument();
    SendMessageA(TheCanvas().GetEditWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 40));
    ASSERT_FALSE(StatusText(3).empty());
    Command(CmdClose);
    EXPECT_EQ("Vemiro Editor 1.4", WindowText(main_));
    EXPECT_TRUE(IndexEntries().empty());
    EXPECT_EQ("", ChildText(IdFormatBox));
    EXPECT_EQ("", HotspotText());
    EXPECT_EQ("Prêt", StatusText(0));
    for (int part = 1; part <= 4; ++part)
        EXPECT_EQ("", StatusText(part)) << part;
}

TEST_F(SessionTest, CancelledDialogsChangeNothing)
{
    NewRedPencilDocument();
    DrawPixel(1, 1);
    DialogScript script;
    script.Then(Press(IDCANCEL)).Then(CloseFromCaption()).Then(Press(IDCANCEL)).Then(Press(IDCANCEL));
    Command(CmdAddBlankImage);   // new image dialog: Annuler
    Command(CmdAddBlankImage);   // new image dialog: closed from its caption
    Command(CmdAddBitmapImage);  // open dialog
    Command(CmdSaveAs);          // save dialog
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(0, script.Unexpected());
    EXPECT_EQ(1, TheDocument().GetImageCount());
    EXPECT_TRUE(TheDocument().IsModified());
    EXPECT_EQ("Vemiro Editor 1.4  : [ nouveau ]", WindowText(main_));
}

TEST_F(SessionTest, OnlyTheFileEditAndImagePopupsAreUpdatedWhenTheyOpen)
{
    HMENU file = GetSubMenu(GetMenu(main_), 0);
    ASSERT_NE(nullptr, file);
    // The window menu's flag in the high word makes it another pop-up.
    EnableMenuItem(file, CmdClose, MF_BYCOMMAND | MF_ENABLED);
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, TRUE));
    EXPECT_EQ(0u, GetMenuState(file, CmdClose, MF_BYCOMMAND) & MF_GRAYED);
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 2);
    EXPECT_EQ(0u, GetMenuState(file, CmdClose, MF_BYCOMMAND) & MF_GRAYED);
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(file, CmdClose, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(SessionTest, FailedOpenOrImportKeepsTheDocumentAndItsDisplay)
{
    const std::string broken = FreshOutputPath("broken.ico");
    ASSERT_TRUE(WriteBitmapFileByHand(broken, 16, RGB(1, 2, 3)));
    const std::string notBitmap = FreshOutputPath("not-a-bitmap.bmp");
    ASSERT_TRUE(WriteIconFileByHand(notBitmap, {{16, 24, RGB(1, 2, 3), 0}}, false));
    struct Case { int command; std::string path; };
    for (const Case& c : {Case{CmdOpen, broken}, Case{CmdImportBitmap, notBitmap}}) {
        NewRedPencilDocument();
        DrawPixel(4, 4);
        TheDocument().SetModified(0);
        DialogScript script;
        script.Then(ChooseFile(c.path));
        Command(c.command);
        EXPECT_TRUE(script.Finished()) << c.command;
        EXPECT_EQ(0, script.Unexpected()) << c.command;
        EXPECT_EQ("Vemiro Editor 1.4  : [ nouveau ]", WindowText(main_)) << c.command;
        EXPECT_EQ((std::vector<std::string>{"1"}), IndexEntries()) << c.command;
        EXPECT_EQ("16x16x24-bits", ChildText(IdFormatBox)) << c.command;
        EXPECT_EQ(kRed, ShownPixel(4, 4)) << c.command;
        EXPECT_TRUE(PopupEnabled(3)) << c.command;
    }
}
