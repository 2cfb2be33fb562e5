#include "shell/commands.h"

#include <commctrl.h>

#include "document/command_state.h"
#include "document/icon_document.h"
#include "shell/all_sizes_command.h"
#include "shell/editor.h"
#include "shell/file_commands.h"
#include "shell/file_dialogs.h"
#include "shell/help_about.h"
#include "shell/main_window.h"
#include "shell/new_image_dialog.h"
#include "shell/recovery.h"
#include "shell/status_bars.h"
#include "shell/tool_buttons.h"
#include "shell/toolbar.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

// Menu bar positions of the pop-ups whose items are enabled when they open.
const LPARAM kFileMenu = 0;
const LPARAM kEditMenu = 1;
const int kToolsMenu = 2;
const int kImageMenu = 3;

const unsigned kAfterImageList = RefreshPalette | RefreshCanvas | RefreshPreview | RefreshColours | RefreshIndex |
                                 RefreshCommands | RefreshHotspot;
const unsigned kAfterHistory = RefreshPalette | RefreshCanvasNoErase | RefreshPreview | RefreshColours |
                               RefreshIndex | RefreshCommands | RefreshHotspot;
const unsigned kAfterShift = RefreshCanvasNoErase | RefreshPreview | RefreshCommands;
const unsigned kAfterMirror = RefreshCanvasNoErase | RefreshPreview;

void Invalidate(HWND window, BOOL erase)
{
    if (window)
        InvalidateRect(window, nullptr, erase);
}

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
    if (AskNewImageFormat(mainWindow, &side, &bitCount) && document.AddNewImage(side, bitCount))
        Refresh(editor_, mainWindow, kAfterImageList);
}

void Commands::AddBitmapImage(HWND mainWindow)
{
    editor_.canvas.EndDrag();
    std::wstring path;
    if (TellIfFull(mainWindow))
        return;
    if (ChooseFileToOpen(mainWindow, path, BitmapFile) && ImportBitmapFile(editor_, mainWindow, path.c_str(), false))
        Refresh(editor_, mainWindow, kAfterImageList | RefreshHint);
}

// Deleting and restoring switch the current image: a drag on it ends first.
void Commands::ChangeImageList(HWND mainWindow, bool restore)
{
    editor_.canvas.EndDrag();
    IconDocument& document = editor_.document;
    if (restore && TellIfFull(mainWindow))
        return;
    if (restore ? document.RestoreDeletedImage() : document.DeleteCurrentImage())
        Refresh(editor_, mainWindow, kAfterImageList);
}

void Commands::ChooseTool(HWND mainWindow, int command)
{
    PressToolButton(mainWindow, command);
    SetFocus(mainWindow);
    editor_.canvas.SetTool(command - IDM_PENCIL);
    Refresh(editor_, mainWindow, RefreshHint);
}

// Runs an editing operation and, when it changed something, the given refresh.
void Commands::EditAndRefresh(HWND mainWindow, EditOutcome outcome, unsigned steps)
{
    if (Succeeded(mainWindow, outcome))
        Refresh(editor_, mainWindow, steps);
}

void Commands::SelectAll(HWND mainWindow)
{
    editor_.canvas.SelectWholeImage();
    Refresh(editor_, mainWindow, RefreshCommands);
}

void Commands::SelectFromIndexBox(HWND mainWindow, HWND box)
{
    editor_.canvas.EndDrag();
    const int position = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
    if (editor_.document.SelectImage(position))
        Refresh(editor_, mainWindow, kAfterImageList);
}

// Runs a document operation and, when it succeeds, the given refresh.
void Commands::RunAndRefresh(HWND mainWindow, bool succeeded, unsigned steps)
{
    if (succeeded)
        Refresh(editor_, mainWindow, steps);
}

void Refresh(Editor& editor, HWND mainWindow, unsigned steps)
{
    if (steps & RefreshPalette)
        Invalidate(editor.palette.GetPaletteWindow(), TRUE);
    if (steps & RefreshCanvas)
        Invalidate(editor.canvas.GetEditWindow(), TRUE);
    if (steps & RefreshCanvasNoErase)
        Invalidate(editor.canvas.GetEditWindow(), FALSE);
    if (steps & RefreshPreview)
        editor.preview.RefreshPreview();
    if (steps & RefreshColours)
        UpdateColourStatus(editor);
    if (steps & RefreshIndex)
        UpdateImageIndex(editor, mainWindow);
    if (steps & RefreshTitle)
        UpdateTitle(editor, mainWindow);
    if (steps & RefreshCommands) {
        UpdateCommandState(editor, mainWindow);
        NoteDocumentState(editor, mainWindow);
    }
    if (steps & RefreshPosition)
        UpdateCursorPosition(editor, 0, 0);
    if (steps & RefreshHint)
        UpdateToolHint(editor);
    if (steps & RefreshHotspot)
        UpdateHotspotText(editor);
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
            SelectFromIndexBox(mainWindow, control);
        break;
    case IDM_NEW: NewDocument(editor_, mainWindow); break;
    case IDM_OPEN: OpenDocument(editor_, mainWindow); break;
    case IDM_SAVE: RunAndRefresh(mainWindow, SaveFromShell(editor_, mainWindow, false), RefreshTitle | RefreshCommands); break;
    case IDM_SAVE_AS: RunAndRefresh(mainWindow, SaveFromShell(editor_, mainWindow, true), RefreshTitle | RefreshCommands); break;
    case IDM_IMPORT_BITMAP: ImportBitmapDocument(editor_, mainWindow); break;
    case IDM_CLOSE: CloseCurrentDocument(editor_, mainWindow); break;
    case IDM_QUIT: PostMessageA(mainWindow, WM_CLOSE, 0, 0); break;
    case IDM_UNDO: EditAndRefresh(mainWindow, document.Undo(), kAfterHistory); break;
    case IDM_REDO: EditAndRefresh(mainWindow, document.Redo(), kAfterHistory); break;
    case IDM_CUT: EditAndRefresh(mainWindow, document.CutSelection(), RefreshCanvas | RefreshPreview); break;
    case IDM_COPY: Succeeded(mainWindow, document.CopySelection()); break;
    case IDM_PASTE:
        EditAndRefresh(mainWindow, document.PasteClipboard(), RefreshCanvas | RefreshPreview | RefreshCommands);
        break;
    case IDM_SELECT_ALL: SelectAll(mainWindow); break;
    // The document moves its selection with the pixels; the frame is drawn from it.
    case IDM_SHIFT_LEFT: EditAndRefresh(mainWindow, document.ShiftImage(-1, 0), kAfterShift); break;
    case IDM_SHIFT_UP: EditAndRefresh(mainWindow, document.ShiftImage(0, -1), kAfterShift); break;
    case IDM_SHIFT_RIGHT: EditAndRefresh(mainWindow, document.ShiftImage(1, 0), kAfterShift); break;
    case IDM_SHIFT_DOWN: EditAndRefresh(mainWindow, document.ShiftImage(0, 1), kAfterShift); break;
    case IDM_MIRROR_VERTICAL: EditAndRefresh(mainWindow, document.MirrorImage(1), kAfterMirror); break;
    case IDM_MIRROR_HORIZONTAL: EditAndRefresh(mainWindow, document.MirrorImage(0), kAfterMirror); break;
    case IDM_DELETE_IMAGE: ChangeImageList(mainWindow, false); break;
    case IDM_RESTORE_IMAGE: ChangeImageList(mainWindow, true); break;
    case IDM_CLEAR_IMAGE: EditAndRefresh(mainWindow, document.ClearCurrentImage(), RefreshCanvas | RefreshPreview); break;
    case IDM_ADD_BLANK_IMAGE: AddBlankImage(mainWindow); break;
    case IDM_ADD_BITMAP_IMAGE: AddBitmapImage(mainWindow); break;
    case IDM_CREATE_ALL_SIZES: CreateAllSizes(editor_, mainWindow); break;
    case IDM_HELP: ShowHelp(mainWindow); break;
    case IDM_ABOUT: ShowAbout(mainWindow, editor_.shell.instance); break;
    }
}

bool ClipboardHasPicture()
{
    // Other programs often offer only a device-independent bitmap.
    return IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB);
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
    case VM_PALETTE_EDITED:
        UpdateColourStatus(editor_);
        Invalidate(editor_.canvas.GetEditWindow(), FALSE);
        Invalidate(editor_.preview.GetPreviewWindow(), TRUE);
        break;
    case VM_COLOURS_CHANGED: UpdateColourStatus(editor_); break;
    case VM_COLOUR_PICKED:
        UpdateColourStatus(editor_);
        Invalidate(editor_.palette.GetPaletteWindow(), TRUE);
        break;
    case VM_HOTSPOT_CHANGED: UpdateHotspotText(editor_); break;
    case VM_DOCUMENT_STATE:
        UpdateCommandState(editor_, mainWindow);
        NoteDocumentState(editor_, mainWindow);
        break;
    case VM_CURSOR_POSITION: UpdateCursorPosition(editor_, static_cast<int>(wParam), static_cast<int>(lParam)); break;
    case VM_EDIT_REFUSED: TellEditRefused(mainWindow); break;
    }
}
