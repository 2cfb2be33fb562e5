#include "shell/file_dialogs.h"

#include <commdlg.h>
#include <cstddef>
#include <string>

#include "win/wide_text.h"

namespace {

// The structure as the version 4 common dialogs know it; the newer fields
// would add the places bar.
const DWORD kOpenFileNameSize = offsetof(OPENFILENAMEW, pvReserved);
static_assert(sizeof(void*) != 4 || offsetof(OPENFILENAMEW, pvReserved) == 76, "the 32-bit structure");

// Filters hold their own null characters: sizeof keeps them.
const char kSaveFilter[] = "Fichier icone (*.ico)\0*.ico\0Fichier curseur (*.cur)\0*.cur\0";
const char kOpenIconFilter[] = "Fichier icone ou curseur(*.ico;*.cur)\0*.ico;*.cur\0";
const char kOpenBitmapFilter[] = "Fichier bitmap(*.bmp)\0*.bmp\0";

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

bool RunDialog(HWND owner, wchar_t* buffer, const DialogTexts& texts, const wchar_t* extension, DWORD flags,
               bool save)
{
    buffer[0] = L'\0';
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFilter = texts.filter.c_str();
    ofn.lpstrDefExt = extension;
    ofn.lpstrTitle = texts.title.c_str();
    ofn.Flags = flags;
    return (save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) != FALSE;
}

} // namespace

bool ChooseFileToSave(HWND owner, wchar_t* buffer)
{
    const DialogTexts texts = {WideFilter(kSaveFilter, sizeof kSaveFilter), WideText("Enregistrer sous...")};
    return RunDialog(owner, buffer, texts, L"ico",
                     OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, true);
}

bool ChooseFileToOpen(HWND owner, wchar_t* buffer, FileKind kind)
{
    const bool icon = kind == IconOrCursorFile;
    const DialogTexts texts = {
        icon ? WideFilter(kOpenIconFilter, sizeof kOpenIconFilter)
             : WideFilter(kOpenBitmapFilter, sizeof kOpenBitmapFilter),
        WideText(icon ? "Ouvrir un fichier icone ou curseur..." : "Ouvrir un fichier bitmap..."),
    };
    return RunDialog(owner, buffer, texts, icon ? L"ico" : L"bmp", OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                     false);
}
