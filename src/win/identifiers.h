#pragma once
#include <windows.h>

#include "win/resource_ids.h"

// Our own messages, numbered here together so that no two share a number
// (both parameters 0 unless stated). Changes of the document are not among
// them: its observers are told (document/document_change.h).
const UINT VM_CURSOR_POSITION = WM_USER + 6;  // sent by the canvas: pixel x, pixel y
const UINT VM_EDIT_REFUSED = WM_USER + 7;     // posted by a view whose edit could not be made
const UINT VM_SET_FACE_COLOUR = WM_USER + 8;  // to a tool button: lParam the colour
const UINT VM_RECOVERY_FAILED = WM_USER + 9;  // posted by the recovery store

// Tools: the tool number is the command identifier minus IDM_PENCIL.
enum ToolNumber
{
    ToolPencil = IDM_PENCIL - IDM_PENCIL, ToolFill = IDM_FILL - IDM_PENCIL, ToolPicker = IDM_PICKER - IDM_PENCIL,
    ToolEraser = IDM_ERASER - IDM_PENCIL, ToolLine = IDM_LINE - IDM_PENCIL,
    ToolRectangle = IDM_RECTANGLE - IDM_PENCIL, ToolEllipse = IDM_ELLIPSE - IDM_PENCIL,
    ToolHotspot = IDM_HOTSPOT - IDM_PENCIL, ToolSelect = IDM_SELECT - IDM_PENCIL,
};

const char* const AppTitle = "Vemiro Editor 1.4";
