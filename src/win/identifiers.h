#pragma once
#include <windows.h>

// Notifications to the main window (both parameters 0 unless stated).
const UINT WM_PALETTE_EDITED = WM_USER + 1;   // posted by the palette view
const UINT WM_COLOURS_CHANGED = WM_USER + 2;  // posted by the palette view
const UINT WM_COLOUR_PICKED = WM_USER + 3;    // sent by the canvas
const UINT WM_HOTSPOT_CHANGED = WM_USER + 4;  // sent by the canvas
const UINT WM_DOCUMENT_STATE = WM_USER + 5;   // posted by the document
const UINT WM_CURSOR_POSITION = WM_USER + 6;  // sent by the canvas: pixel x, pixel y

// Commands (menu 100, toolbar, tool and effect buttons).
enum CommandId
{
    CmdNew = 40001, CmdOpen = 40002, CmdSave = 40003, CmdSaveAs = 40004,
    CmdImportBitmap = 40005, CmdClose = 40006, CmdQuit = 40007,
    CmdUndo = 40010, CmdRedo = 40011, CmdCut = 40012, CmdCopy = 40013, CmdPaste = 40014,
    CmdSelectAll = 40015,
    CmdToolFirst = 40020, CmdToolLast = 40028,
    CmdShiftLeft = 40040, CmdShiftUp = 40041, CmdShiftRight = 40042, CmdMirrorVertical = 40043,
    CmdShiftDown = 40044, CmdMirrorHorizontal = 40045,
    CmdDeleteImage = 40051, CmdRestoreImage = 40052, CmdClearImage = 40053,
    CmdAddBlankImage = 40060, CmdAddBitmapImage = 40061,
    CmdHelp = 40070, CmdAbout = 40071,
};

// Tools: the tool number is the command identifier minus CmdToolFirst.
enum ToolNumber
{
    ToolPencil = 0, ToolFill, ToolPicker, ToolEraser, ToolLine, ToolRectangle, ToolEllipse,
    ToolHotspot, ToolSelect,
};

// Controls of the main window.
const int IdImageIndexBox = 2000;
const int IdFormatBox = 2001;

// Resources.
const int IdrMainMenu = 100;
const int IdiApplication = 101;
const int IdbToolGlyphs = 110;
const int IdbEffectGlyphs = 111;
const int IdbToolbarGlyphs = 113;
const int IdbTransparentPattern = 114;
const int IdcToolCursorFirst = 400;        // 400 to 403: pencil, fill, picker, eraser
const int IddNewImage = 1000;
const int IdcSideList = 1001;
const int IdcBitCountList = 1002;

const char* const AppTitle = "Vemiro Editor 1.4";
