// Apart from the rest of the shell: <shlobj.h> declares a Shell of its own.
#include "shell/recovery.h"

#include <shlobj.h>

std::string RecoveryRoot()
{
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::string();
    return std::string(folder) + "\\Vemiro Editor\\Recovery";
}
