#pragma once
#include <windows.h>

// The help file's path: "Vemiro.chm" in the directory of the program; size
// counts characters. False when the program's own path is unknown.
bool GetHelpFilePath(wchar_t* path, DWORD size);

// Opens the help file with the shell. A file that is missing or that the shell
// cannot open is told in a message box owned by owner; false then.
bool ShowHelp(HWND owner);
bool ShowHelpFile(HWND owner, const wchar_t* path);

// The About box, with the program's icon from instance.
void ShowAbout(HWND owner, HINSTANCE instance);

extern const char* const AboutText;
extern const char* const AboutCaption;
