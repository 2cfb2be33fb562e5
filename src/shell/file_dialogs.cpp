#include "shell/file_dialogs.h"

#include <commdlg.h>
#include <cstddef>

namespace {

// The structure as the version 4 common dialogs know it; the newer fields
// would add the places bar.
const DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, pvReserved);
static_assert(offsetof(OPENFILENAMEA, pvReserved) == 76, "the 32-bit structure");

const char kSaveFilter[] = "Fichier icone (*.ico)\0*.ico\0Fichier curseur (*.cur)\0*.cur\0";
const char kOpenIconFilter[] = "Fichier icone ou curseur(*.ico;*.cur)\0*.ico;*.cur\0";
const char kOpenBitmapFilter[] = "Fichier bitmap(*.bmp)\0*.bmp\0";

void PrepareDialog(OPENFILENAMEA& ofn, HWND owner, char* buffer)
{
    buffer[0] = '\0';
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
}

} // namespace

bool ChooseFileToSave(HWND owner, char* buffer)
{
    OPENFILENAMEA ofn;
    PrepareDialog(ofn, owner, buffer);
    ofn.lpstrFilter = kSaveFilter;
    ofn.lpstrDefExt = "ico";
    ofn.lpstrTitle = "Enregistrer sous...";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    return GetSaveFileNameA(&ofn) != FALSE;
}

bool ChooseFileToOpen(HWND owner, char* buffer, FileKind kind)
{
    OPENFILENAMEA ofn;
    PrepareDialog(ofn, owner, buffer);
    if (kind == IconOrCursorFile) {
        ofn.lpstrFilter = kOpenIconFilter;
        ofn.lpstrDefExt = "ico";
        ofn.lpstrTitle = "Ouvrir un fichier icone ou curseur...";
    } else {
        ofn.lpstrFilter = kOpenBitmapFilter;
        ofn.lpstrDefExt = "bmp";
        ofn.lpstrTitle = "Ouvrir un fichier bitmap...";
    }
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&ofn) != FALSE;
}
