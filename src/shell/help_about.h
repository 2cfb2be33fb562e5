#pragma once
#include <windows.h>

// The help file's path: "Vemiro.chm" in the directory of the program.
// False when the program's own path is unknown.
bool GetHelpFilePath(char* path, DWORD size);

// Opens the help file with the shell; a missing file is silent. True when the
// file was handed to the shell.
bool ShowHelp();

// The About box.
void ShowAbout(HWND owner);

extern const char* const AboutText;
extern const char* const AboutCaption;
