#include "shell/help_about.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

static_assert(sizeof(void*) != 4 || sizeof(MSGBOXPARAMSW) == 40, "MSGBOXPARAMSW of a 32-bit program");

const wchar_t* const kHelpFileName = L"Vemiro.chm";
const char* const kHelpMissing = "Le fichier d'aide « %s » est introuvable.";
const char* const kHelpNotOpened = "Le fichier d'aide « %s » n'a pas pu être ouvert.";

}  // namespace

const char* const AboutCaption = " A propos de...";

const char* const AboutText =
    "     Vemiro Editeur     \n"
    "     Version 1.4     \n"
    "\n"
    "     Juillet 2006     \n"
    "\n"
    "     Auteur : Lucien Marchetti     \n"
    "\n"
    "     Ateliers Ferrand Logiciels     ";

bool GetHelpFilePath(wchar_t* path, DWORD size)
{
    if (size < MAX_PATH)
        return false;
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A path cut at the buffer's end would name the wrong folder.
    if (length == 0 || length >= MAX_PATH)
        return false;
    PathRemoveFileSpecW(path);
    return PathAppendW(path, kHelpFileName) != FALSE;
}

bool ShowHelp(HWND owner)
{
    wchar_t path[MAX_PATH];
    if (!GetHelpFilePath(path, MAX_PATH))
        lstrcpyW(path, kHelpFileName);
    return ShowHelpFile(owner, path);
}

bool ShowHelpFile(HWND owner, const wchar_t* path)
{
    const char* problem = nullptr;
    if (!PathFileExistsW(path))
        problem = kHelpMissing;
    // The shell answers 32 or less when nothing could open the file.
    else if (reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOWNORMAL)) <= 32)
        problem = kHelpNotOpened;
    if (!problem)
        return true;
    MessageBoxW(owner, FormatWide(problem, {path}).c_str(), WideText(AppTitle).c_str(), MB_ICONEXCLAMATION);
    return false;
}

void ShowAbout(HWND owner, HINSTANCE instance)
{
    const std::wstring text = WideText(AboutText), caption = WideText(AboutCaption);
    MSGBOXPARAMSW params = {};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = instance ? instance : GetModuleHandleA(nullptr);
    params.lpszText = text.c_str();
    params.lpszCaption = caption.c_str();
    params.dwStyle = MB_USERICON;
    params.lpszIcon = MAKEINTRESOURCEW(IDI_PROGRAM);
    MessageBoxIndirectW(&params);
}
