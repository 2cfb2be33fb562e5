#pragma once
#include <windows.h>

#include "win/resource_ids.h"

// Notifications to the main window (both parameters 0 unless stated).
const UINT WM_PALETTE_EDITED = WM_USER + 1;   // posted by the palette view
const UINT WM_COLOURS_CHANGED = WM_USER + 2;  // posted by the palette view
const UINT WM_COLOUR_PICKED = WM_USER + 3;    // sent by the canvas
const UINT WM_HOTSPOT_CHANGED = WM_USER + 4;  // sent by the canvas
const UINT WM_DOCUMENT_STATE = WM_USER + 5;   // posted by the document
const UINT WM_CURSOR_POSITION = WM_USER + 6;  // sent by the canvas: pixel x, pixel y
const UINT WM_EDIT_REFUSED = WM_USER + 7;     // posted by a view whose edit could not be made

// Commands (menu 100, toolbar, tool and effect buttons).
enum CommandId
{
    CmdNew = IDM_NEW, CmdOpen = IDM_OPEN, CmdSave = IDM_SAVE, CmdSaveAs = IDM_SAVE_AS,
    CmdImportBitmap = IDM_IMPORT_BITMAP, CmdClose = IDM_CLOSE, CmdQuit = IDM_QUIT,
    CmdUndo = IDM_UNDO, CmdRedo = IDM_REDO, CmdCut = IDM_CUT, CmdCopy = IDM_COPY, CmdPaste = IDM_PASTE,
    CmdSelectAll = IDM_SELECT_ALL,
    CmdToolFirst = IDM_PENCIL, CmdToolLast = IDM_SELECT,
    CmdShiftLeft = IDM_SHIFT_LEFT, CmdShiftUp = IDM_SHIFT_UP, CmdShiftRight = IDM_SHIFT_RIGHT,
    CmdMirrorVertical = IDM_MIRROR_VERTICAL, CmdShiftDown = IDM_SHIFT_DOWN,
    CmdMirrorHorizontal = IDM_MIRROR_HORIZONTAL,
    CmdDeleteImage = IDM_DELETE_IMAGE, CmdRestoreImage = IDM_RESTORE_IMAGE, CmdClearImage = IDM_CLEAR_IMAGE,
    CmdAddBlankImage = IDM_ADD_BLANK_IMAGE, CmdAddBitmapImage = IDM_ADD_BITMAP_IMAGE,
    CmdHelp = IDM_HELP, CmdAbout = IDM_ABOUT,
};

// Tools: the tool number is the command identifier minus CmdToolFirst.
enum ToolNumber
{
    ToolPencil = IDM_PENCIL - CmdToolFirst, ToolFill = IDM_FILL - CmdToolFirst, ToolPicker = IDM_PICKER - CmdToolFirst,
    ToolEraser = IDM_ERASER - CmdToolFirst, ToolLine = IDM_LINE - CmdToolFirst,
    ToolRectangle = IDM_RECTANGLE - CmdToolFirst, ToolEllipse = IDM_ELLIPSE - CmdToolFirst,
    ToolHotspot = IDM_HOTSPOT - CmdToolFirst, ToolSelect = IDM_SELECT - CmdToolFirst,
};

// Controls of the main window.
const int IdImageIndexBox = IDC_IMAGE_INDEX_BOX;
const int IdFormatBox = IDC_FORMAT_BOX;

// Resources.
const int IdrMainMenu = IDR_MAIN_MENU;
const int IdrShortcuts = IDR_SHORTCUTS;
const int IdiApplication = IDI_PROGRAM;
const int IdbToolGlyphs = IDB_TOOL_GLYPHS;
const int IdbEffectGlyphs = IDB_EFFECT_GLYPHS;
const int IdbToolbarGlyphs = IDB_TOOLBAR_GLYPHS;
const int IdbTransparentPattern = IDB_TRANSPARENT_PATTERN;
const int IdcToolCursorFirst = IDC_PENCIL_CURSOR;  // pencil, fill, picker, eraser in this order
const int IddNewImage = IDD_NEW_IMAGE;
const int IdcSideList = IDC_SIDE_LIST;
const int IdcBitCountList = IDC_BIT_COUNT_LIST;

const char* const AppTitle = "Vemiro Editor 1.4";
