#pragma once
#include <windows.h>

#include "document/icon_document.h"

class Editor;

// The commands of the menu, the toolbar, the keys and the buttons, and the
// notifications of the views, each run on the editor it is given. What a
// command changed is shown by the document's observer (document_refresh.h).
class Commands
{
public:
    explicit Commands(Editor& editor) : editor_(editor) {}

    // WM_COMMAND of the main window.
    void OnCommand(HWND mainWindow, int id, int code, HWND control);
    // WM_INITMENUPOPUP of the main window.
    void OnInitMenuPopup(HMENU popup, LPARAM lParam);
    // The notifications of the views.
    void OnNotification(HWND mainWindow, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool TellIfFull(HWND mainWindow);
    void AddBlankImage(HWND mainWindow);
    void AddBitmapImage(HWND mainWindow);
    void ChangeImageList(HWND mainWindow, bool restore);
    void ChooseTool(HWND mainWindow, int command);
    void SelectAll();
    void SelectFromIndexBox(HWND box);
    void CopyOrCut(HWND mainWindow, bool cut);

    Editor& editor_;
};

// Whether a command may run now; the menu, the toolbar and the keys follow it.
bool IsCommandEnabled(int command, const IconDocument& document);

// Greys or enables the " Outils " and " Image " menus and the toolbar buttons.
void UpdateCommandState(Editor& editor, HWND mainWindow);
