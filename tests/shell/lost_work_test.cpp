#include "editor_fixture.h"

#include "views/palette_view.h"

// Nothing the user did is lost without a question, and every failure is told.
class LostWorkTest : public EditorTest
{
protected:
    // A 16 x 16, 24-bit document with a red pixel at (5, 5), saved as a file
    // of its own, so that the modified flag starts clear.
    void SavedDocumentWithARedPixel(const char* name)
    {
        NewDocument(k16, kBits24);
        ChooseColour(kRed, true);
        ClickPixel(5, 5);
        path_ = FreshOutputPath(name);
        Command(IDM_SAVE_AS, {ChooseFile(path_)});
        ASSERT_FALSE(Document().IsModified());
    }
    std::string path_;
};

// Each direction through the command handler moves the pixel its own way, and
// every change that Save would write enables Save.
TEST_F(LostWorkTest, ShiftsAndClearMoveThePixelsTheirWayAndMarkTheDocument)
{
    SavedDocumentWithARedPixel("shifted.ico");
    struct Case { int command; POINT red; };
    for (const Case& c : {Case{IDM_SHIFT_LEFT, {4, 5}}, Case{IDM_SHIFT_UP, {5, 4}}, Case{IDM_SHIFT_RIGHT, {6, 5}},
                          Case{IDM_SHIFT_DOWN, {5, 6}}}) {
        SetModifiedForTest(Document(), false);
        Command(c.command);
        EXPECT_EQ(kRed, ShownPixel(c.red.x, c.red.y)) << c.command;
        EXPECT_EQ(kWhite, ShownPixel(5, 5)) << c.command;
        ExpectEnabled("shifted", {{IDM_SAVE, true}});
        Command(IDM_UNDO);
    }
    SetModifiedForTest(Document(), false);
    Command(IDM_CLEAR_IMAGE);
    EXPECT_EQ(kWhite, ShownPixel(5, 5));
    ExpectEnabled("cleared", {{IDM_SAVE, true}});
}

TEST_F(LostWorkTest, EveryOtherChangeOfContentMarksTheDocument)
{
    SavedDocumentWithARedPixel("marked.ico");
    const std::string bitmap = FreshOutputPath("marked.bmp");
    ASSERT_TRUE(WriteBitmapFile(bitmap, 16, RGB(0, 0, 255)));
    EmptyTheClipboard();
    struct Case { const char* name; std::function<void()> change; };
    const Case cases[] = {
        {"cut", [&] { Command(IDM_SELECT_ALL); Command(IDM_CUT); }},
        {"paste", [&] { Command(IDM_PASTE); }},
        {"undo", [&] { Command(IDM_UNDO); }},
        {"redo", [&] { Command(IDM_REDO); }},
        {"add blank", [&] { Command(IDM_ADD_BLANK_IMAGE, {PickFormat(k16, kBits4)}); }},
        {"add bitmap", [&] { Command(IDM_ADD_BITMAP_IMAGE, {ChooseFile(bitmap)}); }},
        {"delete", [&] { Command(IDM_DELETE_IMAGE); }},
        {"restore", [&] { Command(IDM_RESTORE_IMAGE); }},
        {"palette entry", [&] {
             // The colour dialog gets a new red value typed into its box.
             const POINT cell = {10 * 3 + 5, 5};
             Command(IDM_PENCIL);
             DialogScript script({[](HWND dialog) {
                 for (int box : {706, 707, 708})  // red, green, blue
                     SetDlgItemTextA(dialog, box, box == 706 ? "77" : "0");
                 PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                 return true;
             }});
             SendMessageA(editor_->palette.GetPaletteWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(cell.x, cell.y));
             PumpMessages();
             EXPECT_EQ(RGB(77, 0, 0), Document().GetCurrentImage()->GetPaletteColour(3));
         }},
    };
    for (const Case& c : cases) {
        SetModifiedForTest(Document(), false);
        PumpMessages();
        ExpectEnabled(c.name, {{IDM_SAVE, false}});
        c.change();
        ExpectEnabled(c.name, {{IDM_SAVE, true}});
    }
    // Closing now asks first; Cancel keeps everything.
    Command(IDM_CLOSE, {Press(IDCANCEL)});
    EXPECT_EQ(3, Document().GetImageCount());
}

// Commands that switch the current image end a stroke first: it stays an undo
// step of its own image, and the selection does not follow to the new one.
TEST_F(LostWorkTest, SwitchingImagesEndsTheStrokeAndDropsTheSelection)
{
    NewDocument(k16, kBits24);
    Command(IDM_ADD_BLANK_IMAGE, {PickFormat(k16, kBits24)});
    ChooseColour(kRed, true);
    HWND canvas = editor_->canvas.GetEditWindow();
    const POINT from = PixelCentre(2, 2), to = PixelCentre(6, 2);
    SendMessageA(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageA(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    HWND box = GetDlgItem(main_, IDC_IMAGE_INDEX_BOX);
    SendMessageA(box, CB_SETCURSEL, 0, 0);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_INDEX_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpMessages();
    EXPECT_EQ(nullptr, GetCapture());
    SendMessageA(canvas, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_EQ(kWhite, ShownPixel(4, 2)) << "the first image was not drawn on";
    ExpectEnabled("first image", {{IDM_UNDO, false}});

    Command(IDM_SELECT);
    DragPixels(1, 1, 3, 3);
    ExpectEnabled("selected", {{IDM_CUT, true}});
    SendMessageA(box, CB_SETCURSEL, 1, 0);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDC_IMAGE_INDEX_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpMessages();
    ExpectEnabled("switched", {{IDM_CUT, false}, {IDM_COPY, false}});
    EXPECT_EQ(kRed, ShownPixel(4, 2));
    Command(IDM_UNDO);
    EXPECT_EQ(kWhite, ShownPixel(4, 2));
}

// Sound behaviour: a save that fails says so, naming the file, and keeps the
// document's path and its modified flag.
TEST_F(LostWorkTest, AFailedSaveIsToldAndKeepsTheDocumentAsItWas)
{
    SavedDocumentWithARedPixel("read-only.ico");
    const std::vector<BYTE> before = ReadWholeFile(path_);
    ClickPixel(9, 9);
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::vector<DialogSeen> seen = Command(IDM_SAVE, {Press(IDOK)});
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Vemiro Editor 1.4", seen[0].title);
    EXPECT_NE(std::string::npos, seen[0].text.find("« " + path_ + " » n'a pas pu être enregistré")) << seen[0].text;
    EXPECT_EQ(before, ReadWholeFile(path_));
    EXPECT_EQ("Vemiro Editor 1.4  : [ read-only.ico ]", WindowText(main_));
    ExpectEnabled("failed save", {{IDM_SAVE, true}});
    // Quitting then asks, and a save that fails again keeps the window open.
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    Command(IDM_QUIT, {Press(IDYES), Press(IDOK)});
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(IsWindow(main_));
}

// The end of the session runs the save prompt: only No, or a save that worked,
// lets it end.
TEST_F(LostWorkTest, TheSessionEndAsksFirst)
{
    struct Case { std::vector<DialogScript::Action> answers; BOOL ends; bool saved; };
    for (const Case& c : {Case{{Press(IDCANCEL)}, FALSE, false}, Case{{Press(IDNO)}, TRUE, false},
                          Case{{Press(IDYES)}, TRUE, true}, Case{{Press(IDYES), Press(IDOK)}, FALSE, false}}) {
        SavedDocumentWithARedPixel("session-end.ico");
        ClickPixel(9, 9);
        if (c.answers.size() > 1)
            SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
        DialogScript script(c.answers);
        EXPECT_EQ(c.ends, SendMessageA(main_, WM_QUERYENDSESSION, 0, 0)) << c.answers.size();
        PumpMessages();
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(!c.saved, Document().IsModified() != 0);
        SetModifiedForTest(Document(), false);
    }
    // Nothing to save: no question.
    EXPECT_EQ(TRUE, SendMessageA(main_, WM_QUERYENDSESSION, 0, 0));
}

// The Paste button follows the clipboard as another program changes it.
TEST_F(LostWorkTest, PasteFollowsTheClipboardAsItChanges)
{
    EmptyTheClipboard();
    NewDocument(k16, kBits24);
    PumpMessages();
    EXPECT_FALSE(ToolbarEnabled(IDM_PASTE));
    {
        WindowDC screen(nullptr);
        OwnedBitmap picture(CreateCompatibleBitmap(screen, 4, 4));
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        if (SetClipboardData(CF_BITMAP, picture.Get()))
            picture.Release();
        CloseClipboard();
    }
    for (int i = 0; i < 50 && !ToolbarEnabled(IDM_PASTE); ++i) {
        Sleep(20);
        PumpMessages();
    }
    EXPECT_TRUE(ToolbarEnabled(IDM_PASTE));
    EmptyTheClipboard();
    for (int i = 0; i < 50 && ToolbarEnabled(IDM_PASTE); ++i) {
        Sleep(20);
        PumpMessages();
    }
    EXPECT_FALSE(ToolbarEnabled(IDM_PASTE));
}

// A view whose edit the system could not make says so through the main window.
TEST_F(LostWorkTest, ARefusedEditIsTold)
{
    DialogScript script({Press(IDOK)});
    PostMessageA(main_, VM_EDIT_REFUSED, 0, 0);
    PumpMessages();
    ASSERT_EQ(1u, script.Seen().size());
    EXPECT_EQ(0u, script.Seen()[0].text.find("Cette modification n'a pas pu être faite"));
}

// The document says why a bitmap was refused; the shell words it, the two
// historic refusals in their own words.
TEST_F(LostWorkTest, ImportRefusalsAreWorded)
{
    const std::string wide = FreshOutputPath("wide.bmp"), notBitmap = FixtureCopy("magick_palette.ico", "icon.bmp");
    ASSERT_TRUE(WriteBitmapFile(wide, 16, RGB(1, 2, 3)));
    std::vector<BYTE> bytes = ReadWholeFile(wide);
    bytes[22] = 8;  // biHeight: 16 wide, 8 high
    ASSERT_TRUE(WriteWholeFile(wide, bytes));
    struct Case { std::string path, text; };
    for (const Case& c : {Case{wide, "La taille de l'image n'est pas valide."},
                          Case{notBitmap, "Le fichier « " + notBitmap + " » n'a pas pu être importé.\nCe n'est ni un "
                                          "fichier bitmap ni une image PNG."}}) {
        const std::vector<DialogSeen> seen = Command(IDM_IMPORT_BITMAP, {ChooseFile(c.path), Press(IDOK)});
        ASSERT_EQ(2u, seen.size());
        EXPECT_EQ(c.text, seen[1].text);
        ExpectNoDocumentShown();
    }
}
