// The open and save dialogs, and Save and Save as through them.
#include "editor_fixture.h"

#include "shell/file_commands.h"
#include "shell/file_dialogs.h"

namespace {

// A dialog of this thread as a person sees it.
struct FileDialogSeen
{
    std::string title, text;                // the caption; the static texts, joined
    std::vector<std::string> fileTypes;     // the type list of a file dialog
    HWND owner;
    bool information, readOnlyShown;
};

// Reads and answers every dialog of this thread from a timer, which runs in the
// dialog's own message loop: the first dialog takes the answer (a file name and
// OK) if there is one, any other is cancelled, so that a fault fails the test
// instead of hanging it.
class FileDialogAnswerer
{
public:
    explicit FileDialogAnswerer(const std::string& answer = "") : answer_(answer)
    {
        Active() = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~FileDialogAnswerer()
    {
        KillTimer(nullptr, timer_);
        Active() = nullptr;
    }
    std::vector<FileDialogSeen> seen;

private:
    static FileDialogAnswerer*& Active()
    {
        static FileDialogAnswerer* active = nullptr;
        return active;
    }
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found)
    {
        char name[32] = {};
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    static BOOL CALLBACK CollectText(HWND child, LPARAM param)
    {
        FileDialogSeen& seen = *reinterpret_cast<FileDialogSeen*>(param);
        char name[32] = {}, text[256] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") != 0)
            return TRUE;
        if (GetWindowTextA(child, text, sizeof text) > 0)
            seen.text += text;
        const HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        seen.information = seen.information || (icon && icon == LoadIconA(nullptr, IDI_INFORMATION));
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        const int kFileTypes = 0x470, kReadOnly = 0x410, kFileName = 0x47C;   // cmb1, chx1, cmb13
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        FileDialogAnswerer* self = Active();
        if (!dialog || !self)
            return;
        FileDialogSeen seen = {"", "", {}, GetWindow(dialog, GW_OWNER), false, false};
        char text[300] = {};
        GetWindowTextA(dialog, text, sizeof text);
        seen.title = text;
        EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&seen));
        HWND types = GetDlgItem(dialog, kFileTypes), readOnly = GetDlgItem(dialog, kReadOnly);
        for (LRESULT i = 0, n = types ? SendMessageA(types, CB_GETCOUNT, 0, 0) : 0; i < n; ++i) {
            SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            seen.fileTypes.push_back(text);
        }
        seen.readOnlyShown = readOnly && IsWindowVisible(readOnly);
        const bool first = self->seen.empty(), take = first && !self->answer_.empty();
        if (take)
            SetDlgItemTextA(dialog, kFileName, self->answer_.c_str());
        PostMessageA(dialog, WM_COMMAND, take ? IDOK : IDCANCEL, 0);
        if (!first)
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        self->seen.push_back(seen);
    }
    std::string answer_;
    UINT_PTR timer_;
};

std::string FixturePath(const char* name)
{
    std::string path = std::string(VEMIRO_FIXTURES) + "\\" + name;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

}  // namespace

TEST(FileDialogs, TextsOfEachDialogAndRefusedAnswersChangeNothing)
{
    IconDocument& document = TheDocument();
    document.CloseDocument();
    ASSERT_EQ(1, document.AddNewImage(16, 4));
    document.SetModified(1);
    // kind: -1 save, else the file kind to open.
    struct Case { int kind; const char* title; std::vector<std::string> types; std::string answer; size_t extra; };
    const Case cases[] = {
        {-1, "Enregistrer sous...", {"Fichier icone (*.ico)", "Fichier curseur (*.cur)"}, "", 0},
        {IconOrCursorFile, "Ouvrir un fichier icone ou curseur...", {"Fichier icone ou curseur(*.ico;*.cur)"}, "", 0},
        {BitmapFile, "Ouvrir un fichier bitmap...", {"Fichier bitmap(*.bmp)"}, "", 0},
        // A missing folder or file is refused by the dialog itself: an error box,
        // then the dialog again, both cancelled here.
        {-1, nullptr, {}, FreshOutputPath("no such folder\\x.ico"), 2},
        {IconOrCursorFile, nullptr, {}, FixturePath("no such file.ico"), 2},
    };
    for (const Case& c : cases) {
        wchar_t buffer[MAX_PATH] = L"left over";
        FileDialogAnswerer dialog(c.answer);
        EXPECT_FALSE(c.kind < 0 ? ChooseFileToSave(nullptr, buffer)
                                : ChooseFileToOpen(nullptr, buffer, FileKind(c.kind))) << c.kind;
        ASSERT_EQ(1u + c.extra, dialog.seen.size()) << c.kind;
        EXPECT_STREQ(L"", buffer);
        if (c.title) {
            EXPECT_EQ(c.title, dialog.seen[0].title);
            EXPECT_EQ(c.types, dialog.seen[0].fileTypes);
            EXPECT_FALSE(dialog.seen[0].readOnlyShown);
        }
    }
    for (bool chooseName : {false, true}) {
        FileDialogAnswerer dialog;                   // Save with no path is Save as
        EXPECT_FALSE(SaveFromShell(nullptr, chooseName));
        EXPECT_EQ(1u, dialog.seen.size());
    }
    EXPECT_STREQ(L"", document.GetFilePath());
    EXPECT_EQ(1, document.IsModified());

    wchar_t buffer[MAX_PATH] = {};
    const std::string fixture = FixturePath("magick_palette.ico");
    FileDialogAnswerer dialog(fixture);
    EXPECT_TRUE(ChooseFileToOpen(nullptr, buffer, IconOrCursorFile));
    EXPECT_EQ(1u, dialog.seen.size());
    EXPECT_EQ(0, lstrcmpiW(W(fixture).c_str(), buffer));
    document.CloseDocument();
}

// Save without a path asks (the default extension is added) and stores the
// path once written; with a path it writes without asking. A refused extension
// (the dialog, then the message that the file was not saved), or a refused
// replacement of an existing file (the prompt, then the file dialog shown
// again, both cancelled), keeps the path, the flag and the file.
TEST(FileDialogs, SaveAndSaveAsStoreThePathOnlyOnceWritten)
{
    const std::string path = FreshOutputPath("chosen.ico"), png = FreshOutputPath("chosen.png");
    const std::string stem = path.substr(0, path.size() - 4);
    IconDocument& document = TheDocument();
    document.CloseDocument();
    ASSERT_EQ(1, document.AddNewImage(32, 8));
    struct Step { bool as; std::string answer; bool result; size_t dialogs; };
    const Step steps[] = {{false, stem, true, 1}, {false, "", true, 0}, {true, png, false, 2}, {true, path, false, 3}};
    for (int i = 0; i < 4; ++i) {
        document.GetCurrentImage()->SetPixelIndex(0, 0, i);
        document.SetModified(1);
        const std::vector<BYTE> before = ReadWholeFile(path);
        FileDialogAnswerer dialog(steps[i].answer);
        EXPECT_EQ(steps[i].result, SaveFromShell(nullptr, steps[i].as)) << i;
        EXPECT_EQ(steps[i].dialogs, dialog.seen.size()) << i;
        EXPECT_EQ(steps[i].result ? 0 : 1, document.IsModified()) << i;
        EXPECT_EQ(0, lstrcmpiW(W(path).c_str(), document.GetFilePath())) << i;
        EXPECT_EQ(!steps[i].result, before == ReadWholeFile(path)) << i;
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(png.c_str()));
    EXPECT_EQ(6u + 16u + 2216u, ReadWholeFile(path).size());
    document.CloseDocument();
}
