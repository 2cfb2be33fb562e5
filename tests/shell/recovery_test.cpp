#include "editor_fixture.h"

#include "document/recovery_store.h"
#include "shell/main_window.h"
#include "shell/recovery.h"

namespace {

// The recovery folder is under the test prefix's profile, in plain ASCII.
std::string Narrow(const std::wstring& path) { return std::string(path.begin(), path.end()); }

// Waits, handling messages as the editor would, until the condition holds.
bool WaitFor(const std::function<bool()>& condition, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 50) {
        PumpMessages();
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

// The editor, run as a program of its own.
class Editor
{
public:
    Editor()
    {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, sizeof path);
        std::string program(path);
        program = program.substr(0, program.find_last_of('\\') + 1) + "Vemiro.exe";
        std::string commandLine = "\"" + program + "\"";
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        nul_ = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                           OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul_;
        started_ = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
    }
    ~Editor()
    {
        if (started_) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 10000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        CloseHandle(nul_);
    }
    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    void Kill() { TerminateProcess(process_.hProcess, 1); WaitForSingleObject(process_.hProcess, 10000); }
    bool Ended(int milliseconds) { return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0; }
    // Its top-level window of a class, with the text containing the given words.
    HWND Window(const char* className, const std::string& words = "") const
    {
        Search search = {Id(), className, words, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // Waits for a dialog or message box of this editor and presses a button of it.
    bool Answer(const std::string& words, int button)
    {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = Window("#32770", words)) != nullptr; }, 15000))
            return false;
        return PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(box, button))) != 0;
    }

private:
    struct Search
    {
        DWORD id;
        const char* className;
        std::string words;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND window, LPARAM param)
    {
        Search& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[64] = "";
        GetClassNameA(window, name, sizeof name);
        std::string text = WindowText(window);
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            text += WindowText(child);
        if (owner != s.id || lstrcmpA(name, s.className) != 0 || !IsWindowVisible(window)
            || text.find(s.words) == std::string::npos)
            return TRUE;
        s.found = window;
        return FALSE;
    }
    HANDLE nul_;
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};

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
        Editor crashing;
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
    Editor next;
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
