#include "editor_fixture.h"

#include <string>

namespace {

struct FrameSearch
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindFrameOf(HWND window, LPARAM param)
{
    FrameSearch* search = reinterpret_cast<FrameSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (process == search->process && strcmp(name, "VemiroClassApp1_4") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string ProgramBesideTests()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string program(path);
    return program.substr(0, program.find_last_of('\\') + 1) + "Vemiro.exe";
}

}  // namespace

// The real program: opens the file named on its command line, ignores the
// rest, and ends with exit code 0 when its window is closed.
TEST(Program, OpensItsCommandLineFileAndQuitsCleanly)
{
    const std::string program = ProgramBesideTests();
    if (!FileExists(program))
        GTEST_SKIP() << "Vemiro.exe is not built beside the tests";
    const std::string file = FreshOutputPath("from command line.ico");
    ASSERT_TRUE(WriteIconFileByHand(file, {{32, 24, RGB(0, 128, 0), 0}}, false));
    std::string commandLine = "\"" + program + "\" \"" + file + "\" \"second argument.ico\"";

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // The child must not hold on to our output.
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    SetHandleInformation(nul, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &startup, &child));
    WaitForInputIdle(child.hProcess, 10000);

    FrameSearch search = {child.dwProcessId, nullptr};
    for (int i = 0; i < 200 && !search.found; ++i) {
        EnumWindows(FindFrameOf, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(50);
    }
    ASSERT_NE(nullptr, search.found);
    std::string title;
    for (int i = 0; i < 100; ++i) {
        title = WindowText(search.found);
        if (title != "Vemiro Editor 1.4")
            break;
        Sleep(50);
    }
    EXPECT_EQ("Vemiro Editor 1.4  : [ from command line.ico ]", title);

    PostMessageA(search.found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, 20000));
    DWORD exitCode = 1234;
    GetExitCodeProcess(child.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    CloseHandle(nul);
}
