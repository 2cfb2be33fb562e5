#include "editor_fixture.h"

#include "shell/help_about.h"
#include "shell/new_image_dialog.h"

namespace {

// The texts of a list, then the position of the selected one.
std::vector<std::string> ListAndSelection(HWND list)
{
    std::vector<std::string> texts = ListTexts(list);
    texts.push_back(std::to_string(SendMessageA(list, CB_GETCURSEL, 0, 0)));
    return texts;
}

// Refuses to make any dialog window, as when the system cannot create the dialog.
LRESULT CALLBACK RefuseDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    char name[32] = "";
    if (code == HCBT_CREATEWND)
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    return strcmp(name, "#32770") == 0 ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(EditorTest, NewImageDialogListsDefaultsAndAnswers)
{
    std::vector<std::string> sides, bitCounts;
    auto look = [&](HWND dialog) {
        sides = ListAndSelection(GetDlgItem(dialog, IDC_SIDE_LIST));
        bitCounts = ListAndSelection(GetDlgItem(dialog, IDC_BIT_COUNT_LIST));
        return Press(IDOK)(dialog);
    };
    struct Case { DialogScript::Action answer; bool confirmed; int side, bitCount; };
    for (const Case& c : {Case{look, true, 32, 8}, Case{PickFormat(9, 0), true, 128, 1},
                          Case{PickFormat(0, 4), true, 16, 32}, Case{PickFormat(7, 3), true, 72, 24},
                          Case{PickFormat(10, 4), true, 256, 32}, Case{PickFormat(1, 2), true, 20, 8},
                          Case{PickFormat(3, 1, IDCANCEL), false, -5, -6}, Case{CloseFromCaption(), false, -5, -6}}) {
        DialogScript script({c.answer});
        NewImageDialog dialog;
        int side = -5, bitCount = -6;
        EXPECT_EQ(c.confirmed, dialog.Show(main_, &side, &bitCount));
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(c.side, side);
        EXPECT_EQ(c.bitCount, bitCount);
        ASSERT_EQ(1u, script.Seen().size());
        EXPECT_EQ("Nouvelle icône ou curseur", script.Seen()[0].title);
    }
    // Every format, the selected one last.
    EXPECT_EQ((std::vector<std::string>{" 16x16", " 20x20", " 24x24", " 32x32", " 40x40", " 48x48", " 64x64", " 72x72",
                                        " 96x96", " 128x128", " 256x256", "3"}),
              sides);
    EXPECT_EQ((std::vector<std::string>{" 1 bit", " 4 bits", " 8 bits", " 24 bits", " 32 bits", "2"}), bitCounts);
}

// Sound behaviour: -1 from the dialog box call counts as cancel, never as OK with unset outputs.
TEST_F(EditorTest, DialogThatCannotBeMadeCountsAsCancel)
{
    NewDocument(k48, kBits24);
    HHOOK refused = SetWindowsHookExA(WH_CBT, RefuseDialogs, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, refused);
    NewImageDialog dialog;
    int side = -5, bitCount = -6;
    EXPECT_FALSE(dialog.Show(main_, &side, &bitCount));
    EXPECT_EQ(-5, side);
    EXPECT_EQ(-6, bitCount);
    Command(IDM_NEW);
    Command(IDM_ADD_BLANK_IMAGE);
    UnhookWindowsHookEx(refused);
    EXPECT_EQ(1, Document().GetImageCount());
    EXPECT_EQ("48x48x24-bits", ChildText(IDC_FORMAT_BOX));
}

class SavePromptTest : public EditorTest
{
protected:
    // A document with an unsaved change, read from this file when one is given.
    void ModifiedDocument(const std::string& path)
    {
        if (path.empty())
            NewDocument(k16, kBits24);
        else
            Command(IDM_OPEN, {ChooseFile(path)});
        Command(IDM_MIRROR_VERTICAL);
        ASSERT_TRUE(Document().IsModified());
    }
};

TEST_F(SavePromptTest, QuitWithEachAnswerThatGoesOn)
{
    struct Case
    {
        const char* name;
        bool modified, hasPath;
        std::vector<DialogScript::Action> answers;
        bool written;
    };
    const std::string chosen = FreshOutputPath("chosen-at-quit.ico");
    const std::vector<Case> cases = {
        {"unmodified, no document", false, false, {}, false},
        {"unmodified", false, true, {}, false},
        {"no", true, true, {Press(IDNO)}, false},
        {"yes with a path", true, true, {Press(IDYES)}, true},
        {"yes, save as chosen", true, false, {Press(IDYES), ChooseFile(chosen)}, true},
    };
    for (const Case& c : cases) {
        if (!IsWindow(main_))
            SetUp();
        const std::string written = c.hasPath ? FixtureCopy("magick_palette.ico", "quit.ico") : chosen;
        if (c.modified || c.hasPath)
            ModifiedDocument(c.hasPath ? written : "");
        if (!c.modified)
            SetModifiedForTest(Document(), false);
        const std::vector<BYTE> before = ReadWholeFile(written);

        const std::vector<DialogSeen> seen = Command(IDM_QUIT, c.answers);
        ASSERT_EQ(c.modified, !seen.empty()) << c.name;
        if (c.modified) {
            EXPECT_EQ("     Enregistrer les modifications .  ", seen[0].text) << c.name;
            EXPECT_EQ("Vemiro Editor 1.4", seen[0].title) << c.name;
        }
        EXPECT_FALSE(IsWindow(main_)) << c.name;
        EXPECT_FALSE(Document().IsOpen()) << c.name;
        EXPECT_EQ(c.written, before != ReadWholeFile(written)) << c.name;
        DeleteFileA(chosen.c_str());
    }
}

// Sound behaviour: Cancel, or Oui with a save that does not happen, stops every
// command that would discard the document.
TEST_F(SavePromptTest, PromptWithoutASaveKeepsTheDocumentForEveryCommand)
{
    for (int command : {IDM_NEW, IDM_OPEN, IDM_IMPORT_BITMAP, IDM_CLOSE, IDM_QUIT}) {
        for (bool yes : {false, true}) {
            ModifiedDocument("");
            Command(command, yes ? std::vector<DialogScript::Action>{Press(IDYES), Press(IDCANCEL)}
                                  : std::vector<DialogScript::Action>{Press(IDCANCEL)});
            EXPECT_TRUE(IsWindow(main_)) << command;
            EXPECT_TRUE(Document().IsModified()) << command;
            EXPECT_EQ(1, Document().GetImageCount()) << command;
            EXPECT_EQ("16x16x24-bits", ChildText(IDC_FORMAT_BOX)) << command;
            Document().CloseDocument();
        }
    }
}

TEST_F(EditorTest, AboutBoxShowsTheProgramAndItsAuthor)
{
    const std::vector<DialogSeen> seen = Command(IDM_ABOUT, {Press(IDOK)});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(" A propos de...", seen[0].title);
    for (const char* part : {"Vemiro Editeur", "Version 1.4", "Juillet 2006", "Auteur :"})
        EXPECT_NE(std::string::npos, seen[0].text.find(part)) << part;
    // Four blocks separated by blank lines.
    size_t blocks = 1;
    for (size_t at = seen[0].text.find("\n\n"); at != std::string::npos; at = seen[0].text.find("\n\n", at + 2))
        ++blocks;
    EXPECT_EQ(4u, blocks);
}

TEST(Help, FileIsLookedForBesideTheProgram)
{
    wchar_t path[MAX_PATH], program[MAX_PATH], small[10];
    ASSERT_TRUE(GetHelpFilePath(path, MAX_PATH));
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring expected(program);
    EXPECT_EQ(expected.substr(0, expected.find_last_of(L'\\') + 1) + L"Vemiro.chm", path);
    EXPECT_FALSE(GetHelpFilePath(small, 10));
}

// Sound behaviour: a help file that is not there is told, not ignored.
TEST_F(EditorTest, MissingHelpFileIsTold)
{
    const std::string missing = FreshOutputPath("absent.chm");
    DialogScript script({Press(IDOK)});
    EXPECT_FALSE(ShowHelpFile(main_, W(missing).c_str()));
    ASSERT_EQ(1u, script.Seen().size());
    EXPECT_EQ("Vemiro Editor 1.4", script.Seen()[0].title);
    EXPECT_EQ("Le fichier d'aide « " + missing + " » est introuvable.", script.Seen()[0].text);
}
