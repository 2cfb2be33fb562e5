#include "editor_fixture.h"
#include "editor_process.h"

#include "document/recovery_store.h"
#include "shell/main_window.h"
#include "shell/recovery.h"
#include "shell/startup.h"

namespace {

// This process's copy on disk: made some seconds after a change.
std::wstring WaitForCopy(const RecoveryStore& store)
{
    std::wstring copy;
    WaitFor([&copy, &store] { return !(copy = store.GetCopyPath()).empty(); }, 10000);
    return copy;
}

// What killed runs of the editor left in the test prefix goes first.
void ClearRecoveryRoot(const RecoveryStore& store)
{
    std::vector<std::wstring> aside;
    for (RecoveryStore::Orphan& left : store.FindOrphans(&aside))
        RecoveryStore::Remove(left);
    for (const std::wstring& path : aside)
        DeleteFileW(path.c_str());
}

// The folder of an editor that crashed: a 16-pixel icon and its record.
std::string PlantOrphan(const char* name, const char* documentPath)
{
    IconDocument document;
    std::vector<BYTE> bytes;
    EXPECT_EQ(EditOutcome::Done, document.AddNewImage(16, 4));
    EXPECT_EQ(SaveFailure::None, document.BuildFileBytes(IconFileKind::Icon, bytes));
    const std::string root = Narrow(RecoveryRoot());
    for (const std::string& each : {root.substr(0, root.rfind('\\')), root, root + "\\" + name})
        CreateDirectoryA(each.c_str(), nullptr);
    const std::string folder = root + "\\" + name;
    const std::string record = std::string("Vemiro recovery 1\nimage 0\npath ") + documentPath + "\n";
    EXPECT_TRUE(WriteWholeFile(folder + "\\copy.ico", bytes));
    EXPECT_TRUE(WriteWholeFile(folder + "\\record.txt", std::vector<BYTE>(record.begin(), record.end())));
    return folder;
}

}  // namespace

// Declined, a copy goes: otherwise it would be asked about at every start.
TEST_F(EditorTest, ANoToTheRecoveryOfferRemovesThatCopy)
{
    ClearRecoveryRoot(editor_->recovery);
    const std::string folder = PlantOrphan("70-declined", "C:\\icons\\non.ico");
    DialogScript script({Press(IDNO)});
    EXPECT_FALSE(OfferRecovery(*editor_, main_));
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(FileExists(folder));
}

// Taken, a copy is opened where it lies, then kept as this editor's own copy
// and its old folder removed; the file named on the command line is not
// opened over it, and the user is told so.
TEST_F(EditorTest, RecoveredWorkIsTakenOverAndTheNamedFileToldNotOpened)
{
    ClearRecoveryRoot(editor_->recovery);
    const std::string folder = PlantOrphan("71-taken", "C:\\icons\\repris.ico");
    std::wstring named = L"C:\\icons\\autre.ico";
    std::wstring program = L"Vemiro.exe";
    wchar_t* argv[] = {&program[0], &named[0]};
    DialogScript script({Press(IDYES), Press(IDOK)});
    OpenStartDocument(*editor_, main_, 2, argv);
    ASSERT_EQ(2u, script.Seen().size());
    EXPECT_NE(std::string::npos, script.Seen()[1].text.find("« C:\\icons\\autre.ico » n'a pas été ouvert"));
    EXPECT_EQ(std::wstring(L"C:\\icons\\repris.ico"), Document().GetFilePath());
    EXPECT_TRUE(Document().IsModified());
    EXPECT_FALSE(FileExists(folder));
    IconDocument kept;
    EXPECT_EQ(OpenFailureNone, kept.OpenFile(editor_->recovery.GetCopyPath().c_str()));
}

// A copy follows the change a few seconds later, an ordinary icon file with the
// change in it; a save removes it.
TEST_F(EditorTest, ARecoveryCopyFollowsAChangeAndASaveRemovesIt)
{
    NewDocument(k16, kBits24);
    ChooseColour(kRed, true);
    ClickPixel(6, 2);
    const std::wstring copy = WaitForCopy(editor_->recovery);
    ASSERT_FALSE(copy.empty());
    IconDocument read;
    ASSERT_EQ(OpenFailureNone, read.OpenFile(copy.c_str()));
    EXPECT_EQ(kRed, read.GetCurrentImage()->GetPixelColour(6, 2));
    Command(IDM_SAVE_AS, {ChooseFile(FreshOutputPath("recovered.ico"))});
    EXPECT_EQ(L"", editor_->recovery.GetCopyPath());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(copy.c_str()));
}

// The real program killed after a change: the next start offers the copy, and
// Yes brings the unsaved work back as the document, modified and untitled.
TEST(Recovery, WorkIsOfferedBackAfterTheEditorWasKilled)
{
    ClearRecoveryRoot(RecoveryStore(RecoveryRoot()));
    const std::string root = Narrow(RecoveryRoot());
    {
        EditorProcess crashing;
        ASSERT_TRUE(crashing.Started());
        HWND frame = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (frame = crashing.Window(MainWindowClass)) != nullptr; }, 15000));
        PostMessageA(frame, WM_COMMAND, IDM_NEW, 0);
        ASSERT_TRUE(crashing.Answer("Taille de l'icône", IDOK));
        HWND canvas = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (canvas = FindWindowExA(frame, nullptr, "WndIconEditClass", nullptr)) &&
                                         WindowText(frame).find("nouveau") != std::string::npos; }, 10000));
        SendMessageA(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
        SendMessageA(canvas, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
        const std::string copy = root + "\\" + std::to_string(crashing.Id()) + "-*";
        WIN32_FIND_DATAA found;
        ASSERT_TRUE(WaitFor([&] {
            HANDLE search = FindFirstFileA(copy.c_str(), &found);
            bool copied = false;
            for (bool more = search != INVALID_HANDLE_VALUE; more && !copied; more = FindNextFileA(search, &found))
                copied = FileExists(root + "\\" + found.cFileName + "\\copy.ico");
            if (search != INVALID_HANDLE_VALUE)
                FindClose(search);
            return copied;
        }, 15000));
        crashing.Kill();
    }
    EditorProcess next;
    ASSERT_TRUE(next.Started());
    ASSERT_TRUE(next.Answer("Voulez-vous les récupérer", IDYES));
    HWND frame = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (frame = next.Window(MainWindowClass, "[ nouveau ]")) != nullptr; }, 15000));
    // Modified: closing asks first; No lets it go, and its copy with it.
    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(next.Answer("Enregistrer les modifications", IDNO));
    EXPECT_TRUE(next.Ended(15000));
    RecoveryStore leftover(RecoveryRoot());
    EXPECT_TRUE(leftover.FindOrphans().empty());
}

// A copy that cannot be kept is told once a session, however often it fails.
TEST_F(EditorTest, UnsavedWorkNotKeptIsToldOnce)
{
    DialogScript script({Press(IDOK)});
    PostMessageA(main_, VM_RECOVERY_FAILED, 0, 0);
    PostMessageA(main_, VM_RECOVERY_FAILED, 0, 0);
    PumpMessages();
    ASSERT_EQ(1u, script.Seen().size());
    EXPECT_NE(std::string::npos, script.Seen()[0].text.find("ne sont pas gardées"));
    EXPECT_NE(std::string::npos, script.Seen()[0].text.find(Narrow(RecoveryRoot())));
}
