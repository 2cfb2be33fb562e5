#pragma once
// The editor run as a program of its own, driven from the test through its
// windows as another process sees them.
#include <windows.h>

#include <functional>
#include <string>

// Waits, handling this thread's messages, until the condition holds.
bool WaitFor(const std::function<bool()>& condition, int milliseconds);

class EditorProcess
{
public:
    // Vemiro.exe beside the test program, with these arguments on its command line.
    explicit EditorProcess(const std::string& arguments = "");
    ~EditorProcess();                     // kills it if it still runs
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;
    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    void Kill();
    // True, with its exit code, when it ended within the time.
    bool Ended(int milliseconds, DWORD* exitCode = nullptr);
    // Its visible top-level window of a class whose text, or its children's,
    // holds the words.
    HWND Window(const char* className, const std::string& words = "") const;
    // Waits for a dialog or message box of it holding the words and presses a button.
    bool Answer(const std::string& words, int button);

private:
    struct Search
    {
        DWORD id;
        const char* className;
        std::string words;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND window, LPARAM param);

    HANDLE nul_;
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
};
