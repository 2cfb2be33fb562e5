#pragma once
#include <windows.h>

#include "document/icon_document.h"

class Editor;

// Refresh steps run after a command, always in this order.
enum RefreshStep : unsigned
{
    RefreshPalette = 1u << 0,       // invalidate the palette, erasing
    RefreshCanvas = 1u << 1,        // invalidate the canvas, erasing
    RefreshCanvasNoErase = 1u << 2, // invalidate the canvas without erasing
    RefreshPreview = 1u << 3,
    RefreshColours = 1u << 4,
    RefreshIndex = 1u << 5,
    RefreshTitle = 1u << 6,
    RefreshCommands = 1u << 7,
    RefreshPosition = 1u << 8,      // clears the cursor position
    RefreshHint = 1u << 9,
    RefreshHotspot = 1u << 10,
};

// What a new or opened document needs.
const unsigned RefreshWholeDocument = RefreshPalette | RefreshCanvas | RefreshPreview | RefreshColours |
                                      RefreshIndex | RefreshTitle | RefreshCommands | RefreshHint | RefreshHotspot;

void Refresh(Editor& editor, HWND mainWindow, unsigned steps);

// The commands of the menu, the toolbar, the keys and the buttons, and the
// notifications of the views, each run on the editor it is given.
class Commands
{
public:
    explicit Commands(Editor& editor) : editor_(editor) {}

    // WM_COMMAND of the main window.
    void OnCommand(HWND mainWindow, int id, int code, HWND control);
    // WM_INITMENUPOPUP of the main window.
    void OnInitMenuPopup(HMENU popup, LPARAM lParam);
    // The notifications of the document and the views.
    void OnNotification(HWND mainWindow, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    bool TellIfFull(HWND mainWindow);
    void AddBlankImage(HWND mainWindow);
    void AddBitmapImage(HWND mainWindow);
    void ChangeImageList(HWND mainWindow, bool restore);
    void ChooseTool(HWND mainWindow, int command);
    void EditAndRefresh(HWND mainWindow, EditOutcome outcome, unsigned steps);
    void SelectAll(HWND mainWindow);
    void SelectFromIndexBox(HWND mainWindow, HWND box);
    void RunAndRefresh(HWND mainWindow, bool succeeded, unsigned steps);

    Editor& editor_;
};

// Whether a command may run now; the menu, the toolbar and the keys follow it.
bool IsCommandEnabled(int command, const IconDocument& document);

// Greys or enables the " Outils " and " Image " menus and the toolbar buttons.
void UpdateCommandState(Editor& editor, HWND mainWindow);

// Whether the clipboard holds a picture that Paste can take.
bool ClipboardHasPicture();
