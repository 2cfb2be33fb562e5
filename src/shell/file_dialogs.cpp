#include "shell/file_dialogs.h"

#include <commdlg.h>
#include <cstddef>
#include <string>

#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

// The structure as the version 4 common dialogs know it; the newer fields
// would add the places bar.
const DWORD kOpenFileNameSize = offsetof(OPENFILENAMEW, pvReserved);
static_assert(sizeof(void*) != 4 || offsetof(OPENFILENAMEW, pvReserved) == 76, "the 32-bit structure");

// Filters hold their own null characters: sizeof keeps them.
const char kSaveFilter[] = "Fichier icone (*.ico)\0*.ico\0Fichier curseur (*.cur)\0*.cur\0";
const char kOpenIconFilter[] = "Fichier icone ou curseur(*.ico;*.cur)\0*.ico;*.cur\0";
const char kOpenBitmapFilter[] =
    "Toutes les images (*.bmp;*.png)\0*.bmp;*.png\0Fichier bitmap (*.bmp)\0*.bmp\0Image PNG (*.png)\0*.png\0";

std::wstring WideFilter(const char* filter, size_t size)
{
    std::wstring wide;
    for (const char* part = filter; part < filter + size - 1; part += lstrlenA(part) + 1)
        wide += WideText(part) + L'\0';
    return wide;
}

// The texts live in the caller's frame for as long as the dialog runs.
struct DialogTexts
{
    std::wstring filter, title;
};

// A name the buffer could not hold is not a cancel: the user chose a file
// and is told why it is not used.
bool RunDialog(HWND owner, std::wstring& path, const DialogTexts& texts, const wchar_t* extension, DWORD flags,
               bool save, DWORD capacity)
{
    std::wstring buffer(capacity, L'\0');
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = &buffer[0];
    ofn.nMaxFile = capacity;
    ofn.lpstrFilter = texts.filter.c_str();
    ofn.lpstrDefExt = extension;
    ofn.lpstrTitle = texts.title.c_str();
    ofn.Flags = flags;
    path.clear();
    if (save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) {
        path = buffer.c_str();
        return true;
    }
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        MessageBoxW(owner, WideText(PathTooLongText).c_str(), WideText(AppTitle).c_str(), MB_ICONEXCLAMATION);
    return false;
}

} // namespace

const char* const PathTooLongText =
    "Le chemin du fichier choisi est trop long : aucun fichier n'a été ouvert ni enregistré.";

bool ChooseFileToSave(HWND owner, std::wstring& path, DWORD capacity)
{
    const DialogTexts texts = {WideFilter(kSaveFilter, sizeof kSaveFilter), WideText("Enregistrer sous...")};
    return RunDialog(owner, path, texts, L"ico",
                     OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, true, capacity);
}

bool ChooseFileToOpen(HWND owner, std::wstring& path, FileKind kind, DWORD capacity)
{
    const bool icon = kind == IconOrCursorFile;
    const DialogTexts texts = {
        icon ? WideFilter(kOpenIconFilter, sizeof kOpenIconFilter)
             : WideFilter(kOpenBitmapFilter, sizeof kOpenBitmapFilter),
        WideText(icon ? "Ouvrir un fichier icone ou curseur..." : "Ouvrir une image..."),
    };
    return RunDialog(owner, path, texts, icon ? L"ico" : L"bmp", OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                     false, capacity);
}
