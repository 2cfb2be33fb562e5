#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "document/icon_document.h"
#include "document_test_support.h"

using namespace doctest;

namespace {

// Control identifiers of the common file dialog.
const int kFileTypeCombo = 0x470;      // cmb1
const int kFileNameCombo = 0x47C;      // cmb13
const int kReadOnlyCheck = 0x410;      // chx1

// What the file dialog showed, and how the test answers it (empty answer = cancel).
struct DialogScript
{
    std::string answer;
    bool seen = false;
    std::string title;
    std::vector<std::string> fileTypes;
    bool readOnlyShown = true;
    int unexpected = 0;
};
DialogScript* g_script = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Runs from the dialog's own message loop: reads what the first dialog shows and
// answers it. Any dialog still up on a later tick (an error box, a dialog that did
// not take the answer) is counted and cancelled, so that a fault fails the test
// instead of hanging it.
void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || !g_script)
        return;
    DialogScript& s = *g_script;
    if (s.seen) {
        ++s.unexpected;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return;
    }
    s.seen = true;
    char text[300] = {};
    GetWindowTextA(dialog, text, sizeof(text));
    s.title = text;
    HWND types = GetDlgItem(dialog, kFileTypeCombo);
    LRESULT count = SendMessageA(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        s.fileTypes.push_back(text);
    }
    HWND readOnly = GetDlgItem(dialog, kReadOnlyCheck);
    s.readOnlyShown = readOnly && IsWindowVisible(readOnly);
    if (s.answer.empty()) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextA(dialog, kFileNameCombo, s.answer.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
}

// Arms the answer before a call that shows a file dialog.
class ScriptedDialog
{
public:
    // extraDialogs: how many dialogs after the first are expected (and cancelled).
    explicit ScriptedDialog(const std::string& answer, int extraDialogs = 0) : extra_(extraDialogs)
    {
        // The dialog takes Windows paths only; the build hands some with slashes.
        script_.answer = answer;
        for (char& c : script_.answer)
            if (c == '/')
                c = '\\';
        g_script = &script_;
        timer_ = SetTimer(nullptr, 0, 50, AnswerDialog);
    }
    ~ScriptedDialog()
    {
        KillTimer(nullptr, timer_);
        EXPECT_EQ(extra_, script_.unexpected) << "dialogs after the file dialog";
        g_script = nullptr;
    }
    const DialogScript& Seen() const { return script_; }
private:
    DialogScript script_;
    int extra_;
    UINT_PTR timer_;
};

} // namespace

TEST(DocumentDialogs, SaveDialogShowsItsTextsAndCancelChangesNothing)
{
    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(16, 4));
    document.SetModified(1);
    char buffer[MAX_PATH] = "left over";
    {
        ScriptedDialog dialog("");
        EXPECT_EQ(0, document.ChooseFileToSave(nullptr, buffer));
        ASSERT_TRUE(dialog.Seen().seen);
        EXPECT_EQ("Enregistrer sous...", dialog.Seen().title);
        EXPECT_EQ((std::vector<std::string>{"Fichier icone (*.ico)", "Fichier curseur (*.cur)"}),
                  dialog.Seen().fileTypes);
        EXPECT_FALSE(dialog.Seen().readOnlyShown);
    }
    EXPECT_STREQ("", buffer);
    {
        // Save with no path is Save as; cancelled, nothing is written or stored.
        ScriptedDialog dialog("");
        EXPECT_EQ(0, document.SaveDocument(nullptr));
        EXPECT_TRUE(dialog.Seen().seen);
    }
    {
        // The folder must exist.
        ScriptedDialog dialog(OutputFolder("save") + "\\no such folder\\x.ico", 2);
        EXPECT_EQ(0, document.SaveDocumentAs(nullptr));
    }
    EXPECT_STREQ("", document.GetFilePath());
    EXPECT_EQ(1, document.IsModified());
}

TEST(DocumentDialogs, OpenDialogTextsByKind)
{
    struct Case { int kind; const char* title; const char* type; };
    const Case cases[] = {
        {1, "Ouvrir un fichier icone ou curseur...", "Fichier icone ou curseur(*.ico;*.cur)"},
        {0, "Ouvrir un fichier bitmap...", "Fichier bitmap(*.bmp)"},
    };
    for (const Case& c : cases) {
        IconDocument document;
        char buffer[MAX_PATH] = "left over";
        ScriptedDialog dialog("");
        EXPECT_EQ(0, document.ChooseFileToOpen(nullptr, buffer, c.kind));
        ASSERT_TRUE(dialog.Seen().seen) << c.kind;
        EXPECT_EQ(c.title, dialog.Seen().title);
        EXPECT_EQ(std::vector<std::string>{c.type}, dialog.Seen().fileTypes);
        EXPECT_FALSE(dialog.Seen().readOnlyShown);
        EXPECT_STREQ("", buffer);
    }
    // A file that does not exist is refused by the dialog itself (an error box,
    // then the dialog again, both cancelled here).
    {
        IconDocument document;
        char buffer[MAX_PATH] = {};
        ScriptedDialog dialog(FixturePath("no such file.ico"), 2);
        EXPECT_EQ(0, document.ChooseFileToOpen(nullptr, buffer, 1));
    }
    IconDocument document;
    char buffer[MAX_PATH] = {};
    const std::string fixture = FixturePath("magick_palette.ico");
    ScriptedDialog dialog(fixture);
    EXPECT_EQ(1, document.ChooseFileToOpen(nullptr, buffer, 1));
    EXPECT_EQ(0, lstrcmpiA(fixture.c_str(), buffer)) << buffer;
}

TEST(DocumentDialogs, SaveWithoutPathAsksAndStoresThePathAfterWriting)
{
    const std::string folder = OutputFolder("save");
    const std::string stem = folder + "\\chosen";
    DeleteFileA((stem + ".ico").c_str());
    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(32, 8));
    document.SetModified(1);
    {
        ScriptedDialog dialog(stem);                 // the default extension is added
        EXPECT_EQ(1, document.SaveDocument(nullptr));
    }
    EXPECT_EQ(0, lstrcmpiA((stem + ".ico").c_str(), document.GetFilePath())) << document.GetFilePath();
    EXPECT_EQ(0, document.IsModified());
    std::vector<BYTE> file = ReadWholeFile(stem + ".ico");
    ASSERT_EQ(6u + 16u + 2216u, file.size());

    // With a path, Save writes there without asking.
    document.SetModified(1);
    document.GetCurrentImage()->SetPixelIndex(0, 0, 3);
    EXPECT_EQ(1, document.SaveDocument(nullptr));
    EXPECT_EQ(0, document.IsModified());
    EXPECT_NE(file, ReadWholeFile(stem + ".ico"));
}

TEST(DocumentDialogs, SaveAsToARefusedExtensionKeepsThePath)
{
    const std::string folder = OutputFolder("save");
    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(16, 1));
    const std::string first = folder + "\\first.ico";
    DeleteFileA(first.c_str());
    {
        ScriptedDialog dialog(first);
        ASSERT_EQ(1, document.SaveDocumentAs(nullptr));
    }
    document.SetModified(1);
    const std::string png = folder + "\\picture.png";
    {
        ScriptedDialog dialog(png);
        EXPECT_EQ(0, document.SaveDocumentAs(nullptr));
    }
    EXPECT_EQ(0, lstrcmpiA(first.c_str(), document.GetFilePath()));
    EXPECT_EQ(1, document.IsModified());
    EXPECT_FALSE(FileExists(png));

    // Choosing an existing file asks before replacing it; refusing keeps it (the
    // prompt, then the file dialog shown again, are both cancelled).
    const std::vector<BYTE> kept = ReadWholeFile(first);
    document.GetCurrentImage()->SetPixelIndex(0, 0, 0);
    {
        ScriptedDialog dialog(first, 2);
        EXPECT_EQ(0, document.SaveDocumentAs(nullptr));
    }
    EXPECT_EQ(kept, ReadWholeFile(first));
    EXPECT_EQ(1, document.IsModified());
}

// ---- Writes that fail -------------------------------------------------------

TEST(IconFileWrite, FailedReplacementKeepsTheFileOnDisk)
{
    const std::string folder = OutputFolder("failing");
    IconDocument original;
    ASSERT_EQ(1, original.AddNewImage(16, 1));
    const std::string target = folder + "\\kept.ico";
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(1, original.WriteIconFile(target.c_str()));
    const std::vector<BYTE> before = ReadWholeFile(target);
    const std::string directory = folder + "\\directory.ico";
    CreateDirectoryA(directory.c_str(), nullptr);

    IconDocument document;
    ASSERT_EQ(1, document.AddNewImage(128, 32));
    PaintPattern(*document.GetCurrentImage(), 5);
    struct Case { const char* what; std::string path; };
    const Case cases[] = {
        {"folder that does not exist", folder + "\\missing\\new.ico"},
        {"a directory in the way", directory},
    };
    for (const Case& c : cases) {
        document.SetModified(1);
        EXPECT_EQ(0, document.WriteIconFile(c.path.c_str())) << c.what;
        EXPECT_EQ(1, document.IsModified()) << c.what;
    }
    EXPECT_FALSE(FileExists(folder + "\\missing"));

    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, document.WriteIconFile(target.c_str()));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, ReadWholeFile(target));
    EXPECT_EQ(1, document.IsModified());
    EXPECT_EQ(0, CountFiles(folder, "*.tmp"));

    // Replacing works once nothing is in the way.
    EXPECT_EQ(1, document.WriteIconFile(target.c_str()));
    EXPECT_EQ(0, document.IsModified());
    EXPECT_EQ(6u + 16u + 67624u, ReadWholeFile(target).size());
    EXPECT_EQ(0, CountFiles(folder, "*.tmp"));
}

// Run by the host check under a file size limit, so that the disk "fills up"
// part-way through the write; disabled in the ordinary run.
TEST(IconFileWrite, DISABLED_WriteThatFailsPartWayKeepsTheFileOnDisk)
{
    const std::string folder = OutputFolder("partway");
    const std::string target = folder + "\\kept.ico";
    IconDocument small;
    ASSERT_EQ(1, small.AddNewImage(16, 4));
    ASSERT_EQ(1, small.WriteIconFile(target.c_str()));
    const std::vector<BYTE> before = ReadWholeFile(target);
    ASSERT_EQ(6u + 16u + 296u, before.size());
    IconDocument document;
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(1, document.AddNewImage(128, 32));
    document.SetModified(1);
    EXPECT_EQ(0, document.WriteIconFile(target.c_str()));
    EXPECT_EQ(1, document.IsModified());
    EXPECT_EQ(before, ReadWholeFile(target));
    EXPECT_EQ(0, CountFiles(folder, "*.tmp"));
}
