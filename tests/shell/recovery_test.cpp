#include "editor_fixture.h"
#include "editor_process.h"

#include "document/recovery_store.h"
#include "shell/main_window.h"
#include "shell/recovery.h"

namespace {

// The recovery folder is under the test prefix's profile, in plain ASCII.
std::string Narrow(const std::wstring& path) { return std::string(path.begin(), path.end()); }

// This process's copy on disk: made some seconds after a change.
std::wstring WaitForCopy()
{
    std::wstring copy;
    WaitFor([&copy] { return !(copy = TheRecovery().GetCopyPath()).empty(); }, 10000);
    return copy;
}

}  // namespace

// A copy follows the change a few seconds later, an ordinary icon file with the
// change in it; a save removes it.
TEST_F(EditorTest, ARecoveryCopyFollowsAChangeAndASaveRemovesIt)
{
    NewDocument(k16, kBits24);
    ChooseColour(kRed, true);
    ClickPixel(6, 2);
    const std::wstring copy = WaitForCopy();
    ASSERT_FALSE(copy.empty());
    IconDocument read;
    ASSERT_EQ(1, read.OpenFile(copy.c_str()));
    EXPECT_EQ(kRed, read.GetCurrentImage()->GetPixelColour(6, 2));
    Command(CmdSaveAs, {ChooseFile(FreshOutputPath("recovered.ico"))});
    EXPECT_EQ(L"", TheRecovery().GetCopyPath());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(copy.c_str()));
}

// The real program killed after a change: the next start offers the copy, and
// Yes brings the unsaved work back as the document, modified and untitled.
TEST(Recovery, WorkIsOfferedBackAfterTheEditorWasKilled)
{
    const std::string root = Narrow(RecoveryRoot());
    {
        EditorProcess crashing;
        ASSERT_TRUE(crashing.Started());
        HWND frame = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (frame = crashing.Window(MainWindowClass)) != nullptr; }, 15000));
        PostMessageA(frame, WM_COMMAND, CmdNew, 0);
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
            if (search == INVALID_HANDLE_VALUE)
                return false;
            FindClose(search);
            return GetFileAttributesA((root + "\\" + found.cFileName + "\\record.txt").c_str()) !=
                   INVALID_FILE_ATTRIBUTES;
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
