#include "shell/commands.h"

#include <commctrl.h>

#include "document/command_state.h"
#include "document/icon_document.h"
#include "shell/all_sizes_command.h"
#include "shell/clipboard_commands.h"
#include "shell/editor.h"
#include "shell/file_commands.h"
#include "shell/file_dialogs.h"
#include "shell/help_about.h"
#include "shell/main_window.h"
#include "shell/new_image_dialog.h"
#include "shell/status_bars.h"
#include "shell/tool_buttons.h"
#include "shell/toolbar.h"
#include "views/edit_view.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

// Menu bar positions of the pop-ups whose items are enabled when they open.
const LPARAM kFileMenu = 0;
const LPARAM kEditMenu = 1;
const int kToolsMenu = 2;
const int kImageMenu = 3;

void EnableItem(HMENU menu, int command, bool enabled)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void EnableButton(HWND toolbar, int command, bool enabled)
{
    if (toolbar)
        SendMessageA(toolbar, TB_ENABLEBUTTON, command, MAKELONG(enabled ? TRUE : FALSE, 0));
}

// Both side and bit count come back only on OK.
bool AskNewImageFormat(HWND mainWindow, int* side, int* bitCount)
{
    NewImageDialog dialog;
    return dialog.Show(mainWindow, side, bitCount);
}

const char* const kEditRefused =
    "Cette modification n'a pas pu être faite : la mémoire ou les ressources graphiques du système sont "
    "épuisées.\nL'image est restée telle qu'elle était. Enregistrez votre travail et fermez d'autres programmes.";
const char* const kClipboardBusy =
    "Le presse-papiers est utilisé par un autre programme : rien n'a été fait.\nRéessayez dans un instant.";

void TellEditRefused(HWND mainWindow)
{
    MessageBoxText(mainWindow, kEditRefused, AppTitle, MB_ICONEXCLAMATION);
}

// True when the operation changed something; whatever kept it from doing so is
// told, unless there was simply nothing to do.
bool Succeeded(HWND mainWindow, EditOutcome outcome)
{
    switch (outcome) {
    case EditOutcome::Done: return true;
    case EditOutcome::NothingToDo: break;
    case EditOutcome::NoMemory: TellEditRefused(mainWindow); break;
    case EditOutcome::ClipboardBusy: MessageBoxText(mainWindow, kClipboardBusy, AppTitle, MB_ICONEXCLAMATION); break;
    case EditOutcome::TooManyImages: MessageBoxA(mainWindow, TooManyImagesText, AppTitle, MB_ICONINFORMATION); break;
    }
    return false;
}

}  // namespace

// Asked before any dialog, so that the user chooses nothing that cannot be added.
bool Commands::TellIfFull(HWND mainWindow)
{
    if (editor_.document.CanAddImage())
        return false;
    MessageBoxA(mainWindow, TooManyImagesText, AppTitle, MB_ICONINFORMATION);
    return true;
}

void Commands::AddBlankImage(HWND mainWindow)
{
    editor_.canvas.EndDrag();
    int side = 0, bitCount = 0;
    IconDocument& document = editor_.document;
    if (TellIfFull(mainWindow))
        return;
    if (AskNewImageFormat(mainWindow, &side, &bitCount))
        Succeeded(mainWindow, document.AddNewImage(side, bitCount));
}

void Commands::AddBitmapImage(HWND mainWindow)
{
    editor_.canvas.EndDrag();
    std::wstring path;
    if (TellIfFull(mainWindow))
        return;
    if (ChooseFileToOpen(mainWindow, path, BitmapFile))
        ImportBitmapFile(editor_, mainWindow, path.c_str(), false);
}

// Deleting and restoring switch the current image: a drag on it ends first.
void Commands::ChangeImageList(HWND mainWindow, bool restore)
{
    editor_.canvas.EndDrag();
    IconDocument& document = editor_.document;
    if (restore && TellIfFull(mainWindow))
        return;
    Succeeded(mainWindow, restore ? document.RestoreDeletedImage() : document.DeleteCurrentImage());
}

void Commands::ChooseTool(HWND mainWindow, int command)
{
    PressToolButton(mainWindow, command);
    SetFocus(mainWindow);
    editor_.canvas.SetTool(command - IDM_PENCIL);
    UpdateToolHint(editor_);
}

// The clipboard is the shell's own: what it now holds is told here.
void Commands::CopyOrCut(HWND mainWindow, bool cut)
{
    IconDocument& document = editor_.document;
    Succeeded(mainWindow, cut ? CutToClipboard(document, mainWindow) : CopyToClipboard(document, mainWindow));
    UpdateCommandState(editor_, mainWindow);
}

void Commands::SelectAll()
{
    editor_.canvas.SelectWholeImage();
}

void Commands::SelectFromIndexBox(HWND box)
{
    editor_.canvas.EndDrag();
    const int position = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
    editor_.document.SelectImage(position);
}

void Commands::OnCommand(HWND mainWindow, int id, int code, HWND control)
{
    IconDocument& document = editor_.document;
    // A key does what its command does, and nothing while the command is greyed.
    const int kFromShortcut = 1;
    if (code == kFromShortcut && control == nullptr && !IsCommandEnabled(id, document))
        return;
    // Whatever a command does, it does to a finished stroke.
    editor_.canvas.EndDrag();
    if (id >= IDM_PENCIL && id <= IDM_SELECT) {
        ChooseTool(mainWindow, id);
        return;
    }
    switch (id) {
    case IDC_IMAGE_INDEX_BOX:
        if (code == CBN_SELCHANGE)
            SelectFromIndexBox(control);
        break;
    case IDM_NEW: NewDocument(editor_, mainWindow); break;
    case IDM_OPEN: OpenDocument(editor_, mainWindow); break;
    case IDM_SAVE: SaveFromShell(editor_, mainWindow, false); break;
    case IDM_SAVE_AS: SaveFromShell(editor_, mainWindow, true); break;
    case IDM_IMPORT_BITMAP: ImportBitmapDocument(editor_, mainWindow); break;
    case IDM_CLOSE: CloseCurrentDocument(editor_, mainWindow); break;
    case IDM_QUIT: PostMessageA(mainWindow, WM_CLOSE, 0, 0); break;
    case IDM_UNDO: Succeeded(mainWindow, document.Undo()); break;
    case IDM_REDO: Succeeded(mainWindow, document.Redo()); break;
    case IDM_CUT: CopyOrCut(mainWindow, true); break;
    case IDM_COPY: CopyOrCut(mainWindow, false); break;
    case IDM_PASTE: Succeeded(mainWindow, PasteFromClipboard(document, mainWindow)); break;
    case IDM_SELECT_ALL: SelectAll(); break;
    // The document moves its selection with the pixels; the frame is drawn from it.
    case IDM_SHIFT_LEFT: Succeeded(mainWindow, document.ShiftImage(-1, 0)); break;
    case IDM_SHIFT_UP: Succeeded(mainWindow, document.ShiftImage(0, -1)); break;
    case IDM_SHIFT_RIGHT: Succeeded(mainWindow, document.ShiftImage(1, 0)); break;
    case IDM_SHIFT_DOWN: Succeeded(mainWindow, document.ShiftImage(0, 1)); break;
    case IDM_MIRROR_VERTICAL: Succeeded(mainWindow, document.MirrorImage(1)); break;
    case IDM_MIRROR_HORIZONTAL: Succeeded(mainWindow, document.MirrorImage(0)); break;
    case IDM_DELETE_IMAGE: ChangeImageList(mainWindow, false); break;
    case IDM_RESTORE_IMAGE: ChangeImageList(mainWindow, true); break;
    case IDM_CLEAR_IMAGE: Succeeded(mainWindow, document.ClearCurrentImage()); break;
    case IDM_ADD_BLANK_IMAGE: AddBlankImage(mainWindow); break;
    case IDM_ADD_BITMAP_IMAGE: AddBitmapImage(mainWindow); break;
    case IDM_CREATE_ALL_SIZES: CreateAllSizes(editor_, mainWindow); break;
    case IDM_HELP: ShowHelp(mainWindow); break;
    case IDM_ABOUT: ShowAbout(mainWindow, editor_.shell.instance); break;
    }
}

// The one rule for every place a command can come from: menu, toolbar and keys.
// The clipboard is asked only for Paste, as often as it ever was.
bool IsCommandEnabled(int command, const IconDocument& document)
{
    return IsCommandEnabled(command, document, command == IDM_PASTE && ClipboardHasPicture());
}

void UpdateCommandState(Editor& editor, HWND mainWindow)
{
    const bool open = editor.document.IsOpen() != 0;
    HMENU bar = GetMenu(mainWindow);
    if (bar) {
        const UINT state = MF_BYPOSITION | (open ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(bar, kToolsMenu, state);
        EnableMenuItem(bar, kImageMenu, state);
        DrawMenuBar(mainWindow);
    }
    for (int command : ToolbarCommands)
        EnableButton(editor.shell.toolbar, command, IsCommandEnabled(command, editor.document));
}

void Commands::OnInitMenuPopup(HMENU popup, LPARAM lParam)
{
    // The whole lParam is compared, so the window menu (high word 1) never
    // matches; the tools' pop-up is greyed or not as a whole.
    if (lParam != kFileMenu && lParam != kEditMenu && lParam != kImageMenu)
        return;
    for (int position = 0; position < GetMenuItemCount(popup); ++position) {
        const UINT command = GetMenuItemID(popup, position);
        if (command != UINT(-1) && command != 0)
            EnableItem(popup, int(command), IsCommandEnabled(int(command), editor_.document));
    }
}

void Commands::OnNotification(HWND mainWindow, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case VM_CURSOR_POSITION: UpdateCursorPosition(editor_, static_cast<int>(wParam), static_cast<int>(lParam)); break;
    case VM_EDIT_REFUSED: TellEditRefused(mainWindow); break;
    }
}
