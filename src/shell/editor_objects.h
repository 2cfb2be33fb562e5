#pragma once
#include <windows.h>
#include <commctrl.h>

class IconDocument;
class PaletteView;
class PreviewView;
class EditView;

// The four objects that live for the whole process. They are static objects of
// one translation unit, so they are built in this order before WinMain runs and
// destroyed in the reverse order after it returns.
IconDocument& TheDocument();
PaletteView& ThePalette();
PreviewView& ThePreview();
EditView& TheCanvas();

// Handles that the start-up keeps for the update operations and the commands.
// The rebar is not kept; the index and format boxes are found by their ids.
struct ShellState
{
    HINSTANCE instance;
    HWND toolbar;
    HIMAGELIST toolbarImages;
    HWND statusBar;
    HWND swatch;
    HWND hotspotBox;
    HACCEL shortcuts;       // the keyboard shortcuts, freed with the module
};

ShellState& Shell();
