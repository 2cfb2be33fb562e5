#include "editor_fixture.h"

#include "document/icon_document.h"
#include "shell/editor_objects.h"
#include "shell/help_about.h"
#include "shell/main_window.h"
#include "shell/new_image_dialog.h"
#include "win/identifiers.h"

namespace {

std::vector<std::string> ListTexts(HWND dialog, int id)
{
    std::vector<std::string> texts;
    const int count = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
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
    DialogCreationRefused() { hook_ = SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId()); }
    ~DialogCreationRefused() { UnhookWindowsHookEx(hook_); }
    bool Ok() const { return hook_ != nullptr; }

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            char name[32] = "";
            GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
            if (strcmp(name, "#32770") == 0)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

const char* const kPrompt = "     Enregistrer les modifications .  ";

}  // namespace

TEST_F(EditorTest, NewImageDialogOffersEveryFormatAndStartsAt32And8)
{
    std::vector<std::string> sides, bitCounts;
    int sideSelected = -1, bitCountSelected = -1;
    std::string title;
    DialogScript script;
    script.Then([&](HWND dialog) {
        title = WindowText(dialog);
        sides = ListTexts(dialog, IdcSideList);
        bitCounts = ListTexts(dialog, IdcBitCountList);
        sideSelected = static_cast<int>(SendDlgItemMessageA(dialog, IdcSideList, CB_GETCURSEL, 0, 0));
        bitCountSelected = static_cast<int>(SendDlgItemMessageA(dialog, IdcBitCountList, CB_GETCURSEL, 0, 0));
        return Press(IDOK)(dialog);
    });
    NewImageDialog dialog;
    int side = 0, bitCount = 0;
    EXPECT_TRUE(dialog.Show(main_, &side, &bitCount));
    EXPECT_EQ("Nouvelle icône ou curseur", title);
    EXPECT_EQ((std::vector<std::string>{" 16x16", " 32x32", " 48x48", " 64x64", " 72x72", " 128x128"}), sides);
    EXPECT_EQ((std::vector<std::string>{" 1 bit", " 4 bits", " 8 bits", " 24 bits", " 32 bits"}), bitCounts);
    EXPECT_EQ(1, sideSelected);
    EXPECT_EQ(2, bitCountSelected);
    EXPECT_EQ(32, side);
    EXPECT_EQ(8, bitCount);
    EXPECT_NE(nullptr, dialog.GetDialogWindow());
}

TEST_F(EditorTest, NewImageDialogAnswers)
{
    struct Case { DialogScript::Action answer; bool confirmed; int side, bitCount; };
    const Case cases[] = {
        {PickFormat(5, 0, IDOK), true, 128, 1},
        {PickFormat(0, 4, IDOK), true, 16, 32},
        {PickFormat(4, 3, IDOK), true, 72, 24},
        {PickFormat(3, 1, IDCANCEL), false, -5, -6},
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
    // Without somewhere to put the answer nothing is shown at all.
    DialogScript script;
    NewImageDialog dialog;
    int side = 0;
    EXPECT_FALSE(dialog.Show(main_, &side, nullptr));
    EXPECT_FALSE(dialog.Show(main_, nullptr, &side));
    PumpMessages();
    EXPECT_TRUE(script.Seen().empty());
}

TEST_F(EditorTest, DialogThatCannotBeMadeCountsAsCancel)
{
    NewDocument(2, 3);
    DialogCreationRefused refused;
    ASSERT_TRUE(refused.Ok());
    NewImageDialog dialog;
    int side = -5, bitCount = -6;
    EXPECT_FALSE(dialog.Show(main_, &side, &bitCount));
    EXPECT_EQ(-5, side);
    EXPECT_EQ(-6, bitCount);
    // Neither a new document nor an added image comes from a dialog that never showed.
    Command(CmdNew);
    Command(CmdAddBlankImage);
    EXPECT_EQ(1, TheDocument().GetImageCount());
    EXPECT_EQ("48x48x24-bits", ChildText(IdFormatBox));
}

TEST_F(EditorTest, QuitWithoutChangesAsksNothing)
{
    for (bool withDocument : {false, true}) {
        if (!main_ || !IsWindow(main_))
            SetUp();
        if (withDocument)
            NewDocument(0, 2);
        DialogScript script;
        Command(CmdQuit);
        EXPECT_TRUE(script.Seen().empty());
        EXPECT_FALSE(IsWindow(main_));
        EXPECT_FALSE(TheDocument().IsOpen());
        main_ = nullptr;
    }
}

class SavePromptTest : public EditorTest
{
protected:
    // A document with an unsaved change, read from the given file when one is given.
    void ModifiedDocument(const std::string& path)
    {
        if (path.empty()) {
            NewDocument(0, 3);
        } else {
            ASSERT_TRUE(WriteIconFileByHand(path, {{16, 24, RGB(0, 0, 255), 0}}, false));
            OpenFileByMenu(path);
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
        bool hasPath;
        std::vector<DialogScript::Action> answers;
        bool closed;
        bool written;
    };
    const std::string chosen = FreshOutputPath("chosen-at-quit.ico");
    const std::vector<Case> cases = {
        {"cancel", true, {Press(IDCANCEL)}, false, false},
        {"no", true, {Press(IDNO)}, true, false},
        {"yes with a path", true, {Press(IDYES)}, true, true},
        {"yes, save as cancelled", false, {Press(IDYES), Press(IDCANCEL)}, false, false},
        {"yes, save as chosen", false, {Press(IDYES), ChooseFile(chosen)}, true, true},
    };
    for (const Case& c : cases) {
        if (!main_ || !IsWindow(main_))
            SetUp();
        const std::string path = c.hasPath ? FreshOutputPath("quit.ico") : "";
        ModifiedDocument(path);
        const std::string written = c.hasPath ? path : chosen;
        const size_t sizeBefore = ReadWholeFile(written).size();
        const std::vector<BYTE> before = ReadWholeFile(written);

        DialogScript script;
        for (const DialogScript::Action& answer : c.answers)
            script.Then(answer);
        Command(CmdQuit);
        EXPECT_TRUE(script.Finished()) << c.name;
        EXPECT_EQ(0, script.Unexpected()) << c.name;
        ASSERT_FALSE(script.Seen().empty()) << c.name;
        EXPECT_EQ(kPrompt, script.Seen()[0].text) << c.name;
        EXPECT_EQ("Vemiro Editor 1.4", script.Seen()[0].title) << c.name;

        EXPECT_EQ(!c.closed, IsWindow(main_) != FALSE) << c.name;
        EXPECT_EQ(!c.closed, TheDocument().IsOpen() != 0) << c.name;
        if (!c.closed) {
            EXPECT_TRUE(TheDocument().IsModified()) << c.name;
        }
        if (c.written) {
            EXPECT_NE(before, ReadWholeFile(written)) << c.name;
        } else {
            EXPECT_EQ(sizeBefore, ReadWholeFile(written).size()) << c.name;
        }
        if (c.closed)
            main_ = nullptr;
        else
            TheDocument().SetModified(0);
        DeleteFileA(chosen.c_str());
    }
}

TEST_F(SavePromptTest, FailedSaveAtThePromptKeepsTheDocumentForEveryCommand)
{
    const std::string bitmap = FreshOutputPath("prompt.bmp");
    ASSERT_TRUE(WriteBitmapFileByHand(bitmap, 16, RGB(9, 9, 9)));
    for (int command : {CmdNew, CmdOpen, CmdImportBitmap, CmdClose, CmdQuit}) {
        ModifiedDocument("");
        DialogScript script;
        // Oui, then the save dialog is cancelled: nothing was saved.
        script.Then(Press(IDYES)).Then(Press(IDCANCEL));
        Command(command);
        EXPECT_TRUE(script.Finished()) << command;
        EXPECT_EQ(0, script.Unexpected()) << command;
        EXPECT_TRUE(IsWindow(main_)) << command;
        EXPECT_EQ(1, TheDocument().GetImageCount()) << command;
        EXPECT_TRUE(TheDocument().IsModified()) << command;
        EXPECT_EQ("16x16x24-bits", ChildText(IdFormatBox)) << command;
        TheDocument().CloseDocument();
    }
}

TEST_F(SavePromptTest, CancelAtThePromptStopsNewOpenImportAndClose)
{
    for (int command : {CmdNew, CmdOpen, CmdImportBitmap, CmdClose}) {
        ModifiedDocument("");
        DialogScript script;
        script.Then(Press(IDCANCEL));
        Command(command);
        EXPECT_TRUE(script.Finished()) << command;
        EXPECT_EQ(1u, script.Seen().size()) << command;
        EXPECT_TRUE(TheDocument().IsOpen()) << command;
        TheDocument().CloseDocument();
    }
}

TEST_F(SavePromptTest, AnswerNoGoesOnWithoutWriting)
{
    const std::string path = FreshOutputPath("kept.ico");
    ModifiedDocument(path);
    const std::vector<BYTE> before = ReadWholeFile(path);
    DialogScript script;
    script.Then(Press(IDNO)).Then(PickFormat(5, 1, IDOK));
    Command(CmdNew);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ("128x128x4-bits", ChildText(IdFormatBox));
    EXPECT_EQ(before, ReadWholeFile(path));
}

TEST_F(EditorTest, AboutBoxShowsTheProgramAndItsAuthor)
{
    DialogScript script;
    script.Then(Press(IDOK));
    Command(CmdAbout);
    ASSERT_TRUE(script.Finished());
    const DialogSeen& seen = script.Seen()[0];
    EXPECT_EQ(" A propos de...", seen.title);
    for (const char* part : {"Vemiro Editeur", "Version 1.4", "Juillet 2006", "Auteur :"})
        EXPECT_NE(std::string::npos, seen.text.find(part)) << part;
    // Four blocks separated by blank lines.
    size_t blocks = 1;
    for (size_t at = seen.text.find("\n\n"); at != std::string::npos; at = seen.text.find("\n\n", at + 2))
        ++blocks;
    EXPECT_EQ(4u, blocks);
}

TEST(Help, FileIsLookedForBesideTheProgram)
{
    char path[MAX_PATH];
    ASSERT_TRUE(GetHelpFilePath(path, sizeof path));
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string expected(program);
    expected = expected.substr(0, expected.find_last_of('\\') + 1) + "Vemiro.chm";
    EXPECT_EQ(expected, path);
    char small[10];
    EXPECT_FALSE(GetHelpFilePath(small, sizeof small));
    // A missing file is silent and hands nothing to the shell.
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        EXPECT_FALSE(ShowHelp());
    }
}
