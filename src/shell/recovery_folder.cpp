// Apart from the rest of the shell: <shlobj.h> declares a Shell of its own.
#include "shell/recovery.h"

#include <shlobj.h>

std::wstring RecoveryRoot()
{
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::wstring();
    return std::wstring(folder) + L"\\Vemiro Editor\\Recovery";
}
