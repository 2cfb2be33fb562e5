#include "editor_process.h"

#include "editor_fixture.h"

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

EditorProcess::EditorProcess(const std::string& arguments)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program(path);
    program = program.substr(0, program.find_last_of('\\') + 1) + "Vemiro.exe";
    std::string commandLine = "\"" + program + "\" " + arguments;
    // The child must not hold on to the test's output.
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

EditorProcess::~EditorProcess()
{
    if (started_) {
        Kill();
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    CloseHandle(nul_);
}

void EditorProcess::Kill()
{
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
}

bool EditorProcess::Ended(int milliseconds, DWORD* exitCode)
{
    if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(process_.hProcess, exitCode);
    return true;
}

HWND EditorProcess::Window(const char* className, const std::string& words) const
{
    Search search = {Id(), className, words, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK EditorProcess::Match(HWND window, LPARAM param)
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

bool EditorProcess::Answer(const std::string& words, int button)
{
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = Window("#32770", words)) != nullptr; }, 15000))
        return false;
    return PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(box, button))) != 0;
}
