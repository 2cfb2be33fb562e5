#include "editor_fixture.h"

#include "shell/help_about.h"
#include "shell/new_image_dialog.h"

namespace {

std::vector<std::string> ListTexts(HWND dialog, int id)
{
    std::vector<std::string> texts;
    for (int i = 0; i < SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); ++i) {
        char text[32] = "";
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

// Refuses to make any dialog window on this thread while it lives, as when
// the system cannot create the dialog.
class DialogCreationRefused
{
public:
    DialogCreationRefused() : hook_(SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {}
    ~DialogCreationRefused() { UnhookWindowsHookEx(hook_); }
    bool Ok() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam)
    {
        char name[32] = "";
        if (code == HCBT_CREATEWND)
            GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        return strcmp(name, "#32770") == 0 ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

}  // namespace

TEST_F(EditorTest, NewImageDialogOffersEveryFormatAndStartsAt32And8)
{
    std::vector<std::string> sides, bitCounts;
    int sideSelected = -1, bitCountSelected = -1;
    DialogScript script;
    script.Then([&](HWND dialog) {
        sides = ListTexts(dialog, IdcSideList);
        bitCounts = ListTexts(dialog, IdcBitCountList);
        sideSelected = static_cast<int>(SendDlgItemMessageA(dialog, IdcSideList, CB_GETCURSEL, 0, 0));
        bitCountSelected = static_cast<int>(SendDlgItemMessageA(dialog, IdcBitCountList, CB_GETCURSEL, 0, 0));
        return Press(IDOK)(dialog);
    });
    NewImageDialog dialog;
    int side = 0, bitCount = 0;
    EXPECT_TRUE(dialog.Show(main_, &side, &bitCount));
    ASSERT_EQ(1u, script.Seen().size());
    EXPECT_EQ("Nouvelle icône ou curseur", script.Seen()[0].title);
    EXPECT_EQ((std::vector<std::string>{" 16x16", " 32x32", " 48x48", " 64x64", " 72x72", " 128x128"}), sides);
    EXPECT_EQ((std::vector<std::string>{" 1 bit", " 4 bits", " 8 bits", " 24 bits", " 32 bits"}), bitCounts);
    EXPECT_EQ(1, sideSelected);
    EXPECT_EQ(2, bitCountSelected);
    EXPECT_EQ(32, side);
    EXPECT_EQ(8, bitCount);
}

TEST_F(EditorTest, NewImageDialogAnswers)
{
    struct Case { DialogScript::Action answer; bool confirmed; int side, bitCount; };
    const Case cases[] = {
        {PickFormat(5, 0, IDOK), true, 128, 1},    {PickFormat(0, 4, IDOK), true, 16, 32},
        {PickFormat(4, 3, IDOK), true, 72, 24},    {PickFormat(3, 1, IDCANCEL), false, -5, -6},
        {CloseFromCaption(), false, -5, -6},
    };
    for (const Case& c : cases) {
        DialogScript script;
        script.Then(c.answer);
        NewImageDialog dialog;
        int side = -5, bitCount = -6;
        EXPECT_EQ(c.confirmed, dialog.Show(main_, &side, &bitCount));
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(c.side, side);
        EXPECT_EQ(c.bitCount, bitCount);
    }
    // Without somewhere to put the answer nothing is shown at all (the guard cancels any dialog).
    NewImageDialog dialog;
    int side = 0;
    EXPECT_FALSE(dialog.Show(main_, &side, nullptr));
    EXPECT_FALSE(dialog.Show(main_, nullptr, &side));
}

// Sound behaviour: -1 from the dialog box call counts as cancel, never as OK with unset outputs.
TEST_F(EditorTest, DialogThatCannotBeMadeCountsAsCancel)
{
    NewDocument(k48, kBits24);
    DialogCreationRefused refused;
    ASSERT_TRUE(refused.Ok());
    NewImageDialog dialog;
    int side = -5, bitCount = -6;
    EXPECT_FALSE(dialog.Show(main_, &side, &bitCount));
    EXPECT_EQ(-5, side);
    EXPECT_EQ(-6, bitCount);
    Command(CmdNew);
    Command(CmdAddBlankImage);
    EXPECT_EQ(1, TheDocument().GetImageCount());
    EXPECT_EQ("48x48x24-bits", ChildText(IdFormatBox));
}

class SavePromptTest : public EditorTest
{
protected:
    // A 16 x 16 document with an unsaved change, read from this file when one is given.
    void ModifiedDocument(const std::string& path)
    {
        if (path.empty()) {
            NewDocument(k16, kBits24);
        } else {
            ASSERT_TRUE(WriteIconFileByHand(path, {{16, 24, RGB(0, 0, 255)}}));
            Answered(CmdOpen, {ChooseFile(path)});
        }
        Command(CmdMirrorVertical);
        ASSERT_TRUE(TheDocument().IsModified());
    }
};

TEST_F(SavePromptTest, QuitWithEachAnswer)
{
    struct Case
    {
        const char* name;
        bool modified, hasPath;
        std::vector<DialogScript::Action> answers;
        bool closed, written;
    };
    const std::string chosen = FreshOutputPath("chosen-at-quit.ico");
    const std::vector<Case> cases = {
        {"unmodified, no document", false, false, {}, true, false},
        {"unmodified", false, true, {}, true, false},
        {"cancel", true, true, {Press(IDCANCEL)}, false, false},
        {"no", true, true, {Press(IDNO)}, true, false},
        {"yes with a path", true, true, {Press(IDYES)}, true, true},
        // Sound behaviour: a save that does not happen keeps the program and the document.
        {"yes, save as cancelled", true, false, {Press(IDYES), Press(IDCANCEL)}, false, false},
        {"yes, save as chosen", true, false, {Press(IDYES), ChooseFile(chosen)}, true, true},
    };
    for (const Case& c : cases) {
        if (!main_ || !IsWindow(main_))
            SetUp();
        const std::string written = c.hasPath ? FreshOutputPath("quit.ico") : chosen;
        if (c.modified)
            ModifiedDocument(c.hasPath ? written : "");
        else if (c.hasPath)
            NewDocument(k16, kBits8);
        const std::vector<BYTE> before = ReadWholeFile(written);

        const std::vector<DialogSeen> seen = Answered(CmdQuit, c.answers);
        ASSERT_EQ(c.modified, !seen.empty()) << c.name;
        if (c.modified) {
            EXPECT_EQ("     Enregistrer les modifications .  ", seen[0].text) << c.name;
            EXPECT_EQ("Vemiro Editor 1.4", seen[0].title) << c.name;
        }
        EXPECT_EQ(!c.closed, IsWindow(main_) != FALSE) << c.name;
        EXPECT_EQ(!c.closed, TheDocument().IsOpen() != 0) << c.name;
        EXPECT_EQ(!c.closed, TheDocument().IsModified() != 0) << c.name;
        EXPECT_EQ(c.written, before != ReadWholeFile(written)) << c.name;
        if (c.closed)
            main_ = nullptr;
        else
            TheDocument().SetModified(0);
        DeleteFileA(chosen.c_str());
    }
}

// Sound behaviour: Cancel, or Oui with a save that does not happen, stops every
// command that would discard the document.
TEST_F(SavePromptTest, PromptWithoutASaveKeepsTheDocumentForEveryCommand)
{
    for (int command : {CmdNew, CmdOpen, CmdImportBitmap, CmdClose, CmdQuit}) {
        for (bool yes : {false, true}) {
            ModifiedDocument("");
            if (yes)
                Answered(command, {Press(IDYES), Press(IDCANCEL)});
            else
                Answered(command, {Press(IDCANCEL)});
            EXPECT_TRUE(IsWindow(main_)) << command;
            EXPECT_TRUE(TheDocument().IsModified()) << command;
            EXPECT_EQ(1, TheDocument().GetImageCount()) << command;
            EXPECT_EQ("16x16x24-bits", ChildText(IdFormatBox)) << command;
            TheDocument().CloseDocument();
        }
    }
}

TEST_F(EditorTest, AboutBoxShowsTheProgramAndItsAuthor)
{
    const std::vector<DialogSeen> seen = Answered(CmdAbout, {Press(IDOK)});
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
    char path[MAX_PATH], program[MAX_PATH], small[10];
    ASSERT_TRUE(GetHelpFilePath(path, sizeof path));
    GetModuleFileNameA(nullptr, program, sizeof program);
    const std::string expected(program);
    EXPECT_EQ(expected.substr(0, expected.find_last_of('\\') + 1) + "Vemiro.chm", path);
    EXPECT_FALSE(GetHelpFilePath(small, sizeof small));
    // A missing file is silent and hands nothing to the shell.
    EXPECT_TRUE(GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES || !ShowHelp());
}
