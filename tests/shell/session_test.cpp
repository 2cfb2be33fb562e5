#include "editor_fixture.h"

class SessionTest : public EditorTest
{
protected:
    // A 16 x 16, 24-bit document with red on the left button and the pencil.
    void NewRedPencilDocument()
    {
        NewDocument(k16, kBits24);
        ChooseColour(kRed, true);
        Command(IDM_PENCIL);
    }
};

TEST_F(SessionTest, NewAndImportReplaceTheDocumentAndShowIt)
{
    const std::string bitmap = FreshOutputPath("imported.bmp");
    ASSERT_TRUE(WriteBitmapFile(bitmap, 32, RGB(0, 0, 255)));
    NewDocument(k16, kBits8);
    struct Case { int command; DialogScript::Action answer; const char* format; bool modified; };
    for (const Case& c : {Case{IDM_NEW, PickFormat(k48, kBits4), "48x48x4-bits", false},
                          Case{IDM_IMPORT_BITMAP, ChooseFile(bitmap), "32x32x24-bits", true}}) {
        Command(c.command, {c.answer});
        ExpectDocumentShown("nouveau", {"1"}, c.format);
        ExpectEnabled(c.format, {{IDM_SAVE, c.modified}});
    }
    EXPECT_EQ(RGB(0, 0, 255), ShownPixel(10, 10));
}

TEST_F(SessionTest, DrawingUndoAndRedoThenMenuAndToolbarThroughASession)
{
    EmptyTheClipboard();
    NewRedPencilDocument();
    ExpectEnabled("new", {{IDM_SAVE, false}, {IDM_SAVE_AS, true}, {IDM_CLOSE, true}, {IDM_UNDO, false}, {IDM_CUT, false},
                          {IDM_PASTE, false}, {IDM_SELECT_ALL, true}, {IDM_DELETE_IMAGE, false}, {IDM_RESTORE_IMAGE, false}});
    const COLORREF before = ShownPixel(3, 1);
    ASSERT_NE(kRed, before);
    DragPixels(1, 1, 6, 1);
    for (int x = 1; x <= 6; ++x)
        EXPECT_EQ(kRed, ShownPixel(x, 1)) << x;
    EXPECT_NE(kRed, ShownPixel(7, 1));
    ExpectEnabled("drawn", {{IDM_SAVE, true}, {IDM_UNDO, true}, {IDM_REDO, false}});
    Command(IDM_UNDO);
    EXPECT_EQ(before, ShownPixel(3, 1));
    ExpectEnabled("undone", {{IDM_UNDO, false}, {IDM_REDO, true}});
    Command(IDM_REDO);
    EXPECT_EQ(kRed, ShownPixel(3, 1));
    Command(IDM_SAVE, {ChooseFile(FreshOutputPath("session.ico"))});
    ExpectEnabled("saved", {{IDM_SAVE, false}, {IDM_SAVE_AS, true}});

    Command(IDM_SELECT);
    DragPixels(1, 1, 4, 4);
    ExpectEnabled("selection", {{IDM_CUT, true}, {IDM_COPY, true}, {IDM_PASTE, false}});
    Command(IDM_COPY);
    ExpectEnabled("copied", {{IDM_PASTE, true}});
    // A press in the canvas removes the frame, and with it Cut and Copy.
    Command(IDM_PENCIL);
    ClickPixel(1, 1);
    ExpectEnabled("frame removed", {{IDM_CUT, false}, {IDM_COPY, false}});

    // The status bar follows the pointer over the canvas, until the document is closed.
    SendMessageA(editor_->canvas.GetEditWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(PixelCentre(5, 9).x, PixelCentre(5, 9).y));
    EXPECT_EQ(" 5 - 9", StatusText(3));
    Command(IDM_CLOSE, {Press(IDNO)});
    ExpectEnabled("closed", {{IDM_SAVE, false}, {IDM_CLOSE, false}, {IDM_PASTE, false}, {IDM_SELECT_ALL, false}});
    ExpectNoDocumentShown();
}

TEST_F(SessionTest, OnlyTheFileEditAndImagePopupsAreUpdatedWhenTheyOpen)
{
    HMENU file = GetSubMenu(GetMenu(main_), 0);
    ASSERT_NE(nullptr, file);
    // The window menu's flag in the high word makes it another pop-up; 2 is the Outils pop-up.
    for (LPARAM other : {MAKELPARAM(0, TRUE), LPARAM(2)}) {
        EnableMenuItem(file, IDM_CLOSE, MF_BYCOMMAND | MF_ENABLED);
        SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), other);
        EXPECT_EQ(0u, GetMenuState(file, IDM_CLOSE, MF_BYCOMMAND) & MF_GRAYED) << other;
    }
    SendMessageA(main_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(file, IDM_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(SessionTest, SelectionIsShiftedCopiedCutPastedAndExtendedToAll)
{
    EmptyTheClipboard();
    NewRedPencilDocument();
    ClickPixel(2, 2);
    Command(IDM_SELECT);
    DragPixels(2, 2, 3, 3);
    ASSERT_TRUE(Document().HasSelection());
    EXPECT_EQ(2, Document().GetSelection().left);

    Command(IDM_SHIFT_RIGHT);
    EXPECT_EQ(kRed, Document().GetCurrentImage()->GetPixelColour(3, 2));
    EXPECT_NE(kRed, Document().GetCurrentImage()->GetPixelColour(2, 2));
    EXPECT_EQ(3, Document().GetSelection().left);
    Command(IDM_COPY);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));

    ChooseColour(kWhite, false);
    Command(IDM_CUT);
    EXPECT_EQ(kWhite, ShownPixel(3, 2));
    Command(IDM_PASTE);
    EXPECT_EQ(kRed, ShownPixel(3, 2));
    Command(IDM_UNDO);
    EXPECT_EQ(kWhite, ShownPixel(3, 2));
    Command(IDM_REDO);

    // Select all, then a shift moves the whole image.
    Command(IDM_SELECT_ALL);
    const RECT all = Document().GetSelection();
    EXPECT_EQ((std::vector<LONG>{0, 0, 16, 16}), (std::vector<LONG>{all.left, all.top, all.right, all.bottom}));
    ExpectEnabled("all selected", {{IDM_CUT, true}, {IDM_COPY, true}});
    Command(IDM_SHIFT_DOWN);
    EXPECT_NE(kRed, Document().GetCurrentImage()->GetPixelColour(3, 2));
    EXPECT_EQ(kRed, ShownPixel(3, 3));
}

TEST_F(SessionTest, ToolButtonsFollowTheChosenTool)
{
    NewRedPencilDocument();
    struct Case { int tool; const char* hint; };
    for (const Case& c : {Case{ToolFill, "Colorie toute la surface de même teinte"},
                          Case{ToolEllipse, "Dessine une ellipse"},
                          Case{ToolSelect, "Sélectionne une partie de l'image"}, Case{ToolPencil, kPencilHint}}) {
        Command(IDM_PENCIL + c.tool);
        for (int id = IDM_PENCIL; id <= IDM_SELECT; ++id)
            EXPECT_EQ(id == IDM_PENCIL + c.tool, ToolButtonPressed(id)) << c.tool << " " << id;
        EXPECT_EQ(c.hint, StatusText(0));
        EXPECT_EQ(c.tool, editor_->canvas.GetTool());
    }
    // The picker takes the colour once and hands back to the tool used before it.
    ClickPixel(6, 6);
    ChooseColour(RGB(0, 0, 0), true);
    Command(IDM_LINE);
    Command(IDM_PICKER);
    EXPECT_TRUE(ToolButtonPressed(IDM_PICKER));
    ClickPixel(6, 6);
    EXPECT_EQ(" 255 - 0 - 0", StatusText(1));
    EXPECT_EQ(ToolLine, editor_->canvas.GetTool());
    EXPECT_TRUE(ToolButtonPressed(IDM_LINE));
    EXPECT_FALSE(ToolButtonPressed(IDM_PICKER));
    EXPECT_EQ("Dessine une ligne droite", StatusText(0));

    // Without a document the buttons still move, and the hint stays "Prêt".
    Command(IDM_CLOSE, {Press(IDNO)});
    Command(IDM_ERASER);
    EXPECT_TRUE(ToolButtonPressed(IDM_ERASER));
    EXPECT_EQ("Prêt", StatusText(0));
}

TEST_F(SessionTest, EachDrawingToolChosenByItsButtonDrawsAndIsUndoneAndRedoneFromTheMenu)
{
    NewRedPencilDocument();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Case { int tool; POINT from, to, probe; COLORREF drawn; POINT untouched; };
    for (const Case& c : {Case{ToolPencil, {1, 1}, {4, 1}, {3, 1}, kRed, {5, 1}},
                          Case{ToolFill, {8, 8}, {8, 8}, {15, 15}, kRed, {-1, -1}},
                          Case{ToolEraser, {5, 5}, {5, 7}, {5, 6}, face, {5, 8}},
                          Case{ToolLine, {1, 10}, {6, 10}, {5, 10}, kRed, {6, 10}},
                          Case{ToolRectangle, {2, 2}, {9, 9}, {2, 5}, kRed, {5, 5}},
                          Case{ToolEllipse, {0, 0}, {15, 15}, {0, 7}, kRed, {7, 7}}}) {
        // A click on the tool button, as a person chooses a tool.
        HWND button = GetDlgItem(main_, IDM_PENCIL + c.tool);
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 13));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(13, 13));
        PumpMessages();
        ASSERT_EQ(c.tool, editor_->canvas.GetTool());
        ASSERT_EQ(kWhite, ShownPixel(c.probe.x, c.probe.y)) << c.tool;

        DragPixels(c.from.x, c.from.y, c.to.x, c.to.y);
        EXPECT_EQ(c.drawn, ShownPixel(c.probe.x, c.probe.y)) << c.tool;
        if (c.untouched.x >= 0) {
            EXPECT_EQ(kWhite, ShownPixel(c.untouched.x, c.untouched.y)) << c.tool;
        }
        ExpectEnabled("drawn", {{IDM_UNDO, true}, {IDM_REDO, false}});
        Command(IDM_UNDO);
        EXPECT_EQ(kWhite, ShownPixel(c.probe.x, c.probe.y)) << c.tool;
        Command(IDM_REDO);
        EXPECT_EQ(c.drawn, ShownPixel(c.probe.x, c.probe.y)) << c.tool;
        Command(IDM_UNDO);
    }

    // The hotspot pick is a step of its own too.
    Command(IDM_HOTSPOT);
    ClickPixel(3, 4);
    EXPECT_EQ("3 - 4", WindowText(editor_->shell.hotspotBox));
    Command(IDM_UNDO);
    EXPECT_EQ("7 - 7", WindowText(editor_->shell.hotspotBox));
    Command(IDM_REDO);
    EXPECT_EQ("3 - 4", WindowText(editor_->shell.hotspotBox));
}

TEST_F(SessionTest, ImagesAreAddedDeletedRestoredAndChosenInTheIndexBox)
{
    NewDocument(k16, kBits8);
    Command(IDM_ADD_BLANK_IMAGE, {PickFormat(k32, kBits4)});
    ExpectEnabled("blank added", {{IDM_SAVE, true}});
    const std::string bitmap = FreshOutputPath("added.bmp");
    ASSERT_TRUE(WriteBitmapFile(bitmap, 48, RGB(0, 128, 0)));
    SetModifiedForTest(Document(), false);
    Command(IDM_ADD_BITMAP_IMAGE, {ChooseFile(bitmap)});
    ExpectEnabled("bitmap added", {{IDM_SAVE, true}});
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), IndexEntries());
    EXPECT_EQ(2, IndexSelection());
    EXPECT_EQ("48x48x24-bits", ChildText(IDC_FORMAT_BOX));
    EXPECT_EQ(RGB(0, 128, 0), ShownPixel(20, 20));
    SetModifiedForTest(Document(), false);

    HWND box = GetDlgItem(main_, IDC_IMAGE_INDEX_BOX);
    SendMessageA(box, CB_SETCURSEL, 1, 0);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_INDEX_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpMessages();
    EXPECT_EQ(1, Document().GetCurrentIndex());
    EXPECT_EQ("32x32x4-bits", ChildText(IDC_FORMAT_BOX));
    EXPECT_EQ(1, IndexSelection());

    Command(IDM_DELETE_IMAGE);
    EXPECT_EQ((std::vector<std::string>{"1", "2"}), IndexEntries());
    EXPECT_EQ("16x16x8-bits", ChildText(IDC_FORMAT_BOX));
    ExpectEnabled("deleted", {{IDM_RESTORE_IMAGE, true}, {IDM_SAVE, true}});
    SetModifiedForTest(Document(), false);
    Command(IDM_RESTORE_IMAGE);
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3"}), IndexEntries());
    EXPECT_EQ("32x32x4-bits", ChildText(IDC_FORMAT_BOX));
    ExpectEnabled("restored", {{IDM_RESTORE_IMAGE, false}, {IDM_SAVE, true}});
}

TEST_F(SessionTest, SavedAsCursorAndIconThenOpenedAgain)
{
    NewRedPencilDocument();
    ClickPixel(4, 5);
    Command(IDM_HOTSPOT);
    ClickPixel(3, 12);
    EXPECT_EQ("3 - 12", WindowText(editor_->shell.hotspotBox));

    // The type by the extension, then in the directory entry a cursor's hotspot,
    // an icon's planes and bit count.
    const std::string cursor = FreshOutputPath("drawn.cur"), icon = FreshOutputPath("drawn.ico");
    struct Case { std::string path, title; std::vector<BYTE> fields; };
    for (const Case& c :
         {Case{cursor, "[ drawn.cur ]", {2, 0, 3, 0, 12, 0}}, Case{icon, "[ drawn.ico ]", {1, 0, 1, 0, 24, 0}}}) {
        Command(IDM_SAVE_AS, {ChooseFile(c.path)});
        const std::vector<BYTE> bytes = ReadWholeFile(c.path);
        ASSERT_GE(bytes.size(), 22u);
        EXPECT_EQ(c.fields, (std::vector<BYTE>{bytes[2], bytes[3], bytes[10], bytes[11], bytes[12], bytes[13]}));
        EXPECT_EQ("Vemiro Editor 1.4  : " + c.title, WindowText(main_));
        ExpectEnabled(c.title.c_str(), {{IDM_SAVE, false}});
    }
    // Save writes to the current path without a dialog.
    const size_t saved = ReadWholeFile(icon).size();
    Command(IDM_PENCIL);
    ClickPixel(9, 9);
    DeleteFileA(icon.c_str());
    Command(IDM_SAVE);
    EXPECT_EQ(saved, ReadWholeFile(icon).size());

    Command(IDM_CLOSE);
    Command(IDM_OPEN, {ChooseFile(cursor)});
    EXPECT_EQ("Vemiro Editor 1.4  : [ drawn.cur ]", WindowText(main_));
    EXPECT_EQ("16x16x24-bits", ChildText(IDC_FORMAT_BOX));
    EXPECT_EQ(kRed, ShownPixel(4, 5));
    EXPECT_NE(kRed, ShownPixel(9, 9));
    Command(IDM_OPEN, {ChooseFile(icon)});
    EXPECT_EQ(kRed, ShownPixel(9, 9));
}

// Cancelled dialogs, and (sound behaviour) an open or import that fails, leave
// the document as it was, and the window goes on showing it.
TEST_F(SessionTest, CancelledOrFailedCommandsKeepTheDocumentAndItsDisplay)
{
    const std::string broken = FreshOutputPath("broken.ico");
    const std::string notBitmap = FixtureCopy("magick_palette.ico", "not-a-bitmap.bmp");
    ASSERT_TRUE(WriteBitmapFile(broken, 16, RGB(1, 2, 3)));
    NewRedPencilDocument();
    ClickPixel(4, 4);
    struct Case { int command; std::vector<DialogScript::Action> answers; };
    for (const Case& c : {Case{IDM_ADD_BLANK_IMAGE, {Press(IDCANCEL)}}, Case{IDM_ADD_BLANK_IMAGE, {CloseFromCaption()}},
                          Case{IDM_ADD_BITMAP_IMAGE, {Press(IDCANCEL)}}, Case{IDM_SAVE_AS, {Press(IDCANCEL)}},
                          Case{IDM_OPEN, {Press(IDNO), ChooseFile(broken), Press(IDOK)}},
                          Case{IDM_IMPORT_BITMAP, {Press(IDNO), ChooseFile(notBitmap), Press(IDOK)}}}) {
        Command(c.command, c.answers);
        ExpectDocumentShown("nouveau", {"1"}, "16x16x24-bits");
        EXPECT_EQ(kRed, ShownPixel(4, 4)) << c.command;
        EXPECT_TRUE(Document().IsModified()) << c.command;
    }
}
