#include "shell/help_about.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "shell/editor_objects.h"
#include "win/identifiers.h"

namespace {

// MSGBOXPARAMSA of the 32-bit program.
const UINT kMessageBoxParamsSize = 40;

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

bool GetHelpFilePath(char* path, DWORD size)
{
    if (size < MAX_PATH)
        return false;
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    // A path cut at the buffer's end would name the wrong folder.
    if (length == 0 || length >= MAX_PATH)
        return false;
    PathRemoveFileSpecA(path);
    return PathAppendA(path, "Vemiro.chm") != FALSE;
}

bool ShowHelp()
{
    char path[MAX_PATH];
    if (!GetHelpFilePath(path, sizeof path) || !PathFileExistsA(path))
        return false;
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    return true;
}

void ShowAbout(HWND owner)
{
    MSGBOXPARAMSA params = {};
    params.cbSize = kMessageBoxParamsSize;
    params.hwndOwner = owner;
    params.hInstance = Shell().instance ? Shell().instance : GetModuleHandleA(nullptr);
    params.lpszText = AboutText;
    params.lpszCaption = AboutCaption;
    params.dwStyle = MB_USERICON;
    params.lpszIcon = MAKEINTRESOURCEA(IdiApplication);
    MessageBoxIndirectA(&params);
}
