#include "document/command_state.h"

#include "document/icon_document.h"
#include "win/identifiers.h"

bool IsCommandEnabled(int command, const IconDocument& document, bool clipboardHasPicture)
{
    const bool open = document.IsOpen();
    switch (command) {
    case IDM_NEW:
    case IDM_OPEN:
    case IDM_IMPORT_BITMAP:
    case IDM_QUIT:
    case IDM_HELP:
    case IDM_ABOUT:
        return true;
    case IDM_SAVE: return document.IsModified();
    case IDM_UNDO: return document.CanUndo();
    case IDM_REDO: return document.CanRedo();
    case IDM_CUT:
    case IDM_COPY: return open && document.HasSelection();
    case IDM_PASTE: return open && clipboardHasPicture;
    case IDM_DELETE_IMAGE: return document.CanDeleteImage();
    case IDM_RESTORE_IMAGE: return document.HasDeletedImage();
    }
    // Save as, Close, Select all, the tools, the effects and the image commands
    // all work on the open document.
    return open;
}
