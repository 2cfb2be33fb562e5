#include "editor_fixture.h"

#include <shellapi.h>

#include <fstream>

#include "shell/startup.h"

// Keys pressed as the system delivers them, handled by the program's own loop,
// so that its accelerator table is what is tested.
class ShortcutTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        SetForegroundWindow(main_);
        SetFocus(main_);
    }
    // Control with a letter, or a key alone; the dialogs it opens get these answers.
    std::vector<DialogSeen> Key(WORD key, bool control, const std::vector<DialogScript::Action>& answers = {})
    {
        DialogScript script(answers);
        std::vector<INPUT> inputs;
        auto add = [&inputs](WORD vk, bool up) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (control)
            add(VK_CONTROL, false);
        add(key, false);
        add(key, true);
        if (control)
            add(VK_CONTROL, true);
        SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
        for (int round = 0; round < 10; ++round) {
            Sleep(10);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                if (message.message != WM_QUIT)
                    DispatchEditorMessage(*editor_, main_, message);
        }
        EXPECT_TRUE(script.Finished()) << "key " << key;
        return script.Seen();
    }
};

TEST_F(ShortcutTest, EachKeyDoesItsCommandAndNothingWhileItIsGreyed)
{
    EmptyTheClipboard();
    // Greyed without a document: nothing happens, no dialog opens.
    for (WORD key : {WORD('S'), WORD('Z'), WORD('Y'), WORD('X'), WORD('C'), WORD('V'), WORD('A')})
        Key(key, true);
    ExpectNoDocumentShown();
    EXPECT_EQ("Nouvelle icône ou curseur", Key('N', true, {Press(IDCANCEL)}).at(0).title);
    EXPECT_EQ("Ouvrir un fichier icone ou curseur...", Key('O', true, {Press(IDCANCEL)}).at(0).title);

    NewDocument(k16, kBits24);
    ChooseColour(kRed, true);
    ClickPixel(3, 3);
    Key('Z', true);
    EXPECT_EQ(kWhite, ShownPixel(3, 3));
    Key('Z', true);                                  // nothing left to undo
    Key('Y', true);
    EXPECT_EQ(kRed, ShownPixel(3, 3));
    Key('A', true);
    ExpectEnabled("all selected", {{IDM_CUT, true}});
    Key('C', true);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    ChooseColour(kWhite, false);
    Key('X', true);
    EXPECT_EQ(kWhite, ShownPixel(3, 3));
    Key('V', true);
    EXPECT_EQ(kRed, ShownPixel(3, 3));
    const std::string path = FreshOutputPath("shortcut.ico");
    Key('S', true, {ChooseFile(path)});
    EXPECT_FALSE(ReadWholeFile(path).empty());
    // Greyed now: the command as the accelerator table delivers it leaves the
    // file on disk as it is, whatever the menu last showed.
    std::ofstream(path, std::ios::binary | std::ios::app) << "changed since";
    const std::vector<BYTE> changed = ReadWholeFile(path);
    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(IDM_SAVE, 1), 0);
    EXPECT_EQ(changed, ReadWholeFile(path));
    ExpectEnabled("saved", {{IDM_SAVE, false}});
    Key('S', true);
    DeleteFileA(path.c_str());
}

// F1 is bound to the help, whose viewer is another program: the table is read.
TEST(Shortcuts, F1OpensTheHelp)
{
    HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_SHORTCUTS));
    ASSERT_NE(nullptr, table);
    ACCEL entries[32];
    const int count = CopyAcceleratorTableA(table, entries, 32);
    bool found = false;
    for (int i = 0; i < count; ++i)
        found = found || (entries[i].key == VK_F1 && entries[i].cmd == IDM_HELP && !(entries[i].fVirt & FCONTROL));
    EXPECT_TRUE(found);
}

TEST_F(EditorTest, DroppedFilesOpenAsTheirCommandsWould)
{
    const std::string icon = FixtureCopy("icotool_cursor.cur", "dropped.cur");
    const std::string bitmap = FreshOutputPath("dropped.bmp"), text = FreshOutputPath("dropped.txt");
    ASSERT_TRUE(WriteBitmapFile(bitmap, 32, RGB(0, 0, 255)));
    std::ofstream(text) << "not a picture";
    struct Case { std::vector<std::string> paths; std::vector<DialogScript::Action> answers; const char* shown; };
    for (const Case& c : {Case{{icon, bitmap}, {}, "Vemiro Editor 1.4  : [ dropped.cur ]"},
                          Case{{bitmap}, {Press(IDCANCEL)}, "Vemiro Editor 1.4  : [ dropped.cur ]"},
                          Case{{bitmap}, {Press(IDNO)}, "Vemiro Editor 1.4  : [ nouveau ]"},
                          Case{{text}, {Press(IDOK)}, "Vemiro Editor 1.4  : [ nouveau ]"}}) {
        if (Document().IsOpen())
            SetModifiedForTest(Document(), true);  // so that the save prompt comes first, but for a file refused
        DialogScript script(c.answers);
        std::vector<std::wstring> paths;
        for (const std::string& path : c.paths)
            paths.push_back(W(path));
        PostMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        PumpMessages();
        EXPECT_TRUE(script.Finished()) << c.paths[0];
        EXPECT_EQ(c.shown, WindowText(main_)) << c.paths[0];
        if (c.paths[0] == text) {
            ASSERT_EQ(1u, script.Seen().size());
            EXPECT_EQ("Le fichier « " + text + " » n'a pas pu être ouvert.\nCe n'est pas un fichier icône ou curseur.",
                      script.Seen()[0].text);
        }
    }
    EXPECT_EQ(RGB(0, 0, 255), ShownPixel(5, 5));
}
