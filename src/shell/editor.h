#pragma once
#include <windows.h>
#include <commctrl.h>

#include "document/icon_document.h"
#include "document/recovery_store.h"
#include "shell/document_refresh.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"

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

// How far the recovery copy has followed the document.
struct RecoveryState
{
    unsigned long copiedChanges = 0;
    bool armed = false;        // the copy's timer runs
    bool toldNotKept = false;  // said once per editor
};

// Everything one editor works on: made by the entry point, given to the main
// window as its creation parameter, and gone before the entry point returns,
// the recovery store's worker with it.
class Editor
{
public:
    explicit Editor(HINSTANCE instance);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Declaration order is construction order: the views hold references to
    // the document, and the canvas drops an active edit when it goes, which
    // reads the document; so the document comes first and goes last.
    IconDocument document;
    PaletteView palette;
    PreviewView preview;
    EditView canvas;
    RecoveryStore recovery;
    RecoveryState recoveryState;
    ShellState shell = {};
    // Last: it reaches all the above while the main window lives.
    DocumentRefresh refresh{*this};
};
