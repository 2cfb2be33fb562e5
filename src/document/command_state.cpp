#include "document/command_state.h"

#include "document/icon_document.h"
#include "win/identifiers.h"

bool IsCommandEnabled(int command, const IconDocument& document, bool clipboardHasPicture)
{
    const bool open = document.IsOpen();
    switch (command) {
    case CmdNew:
    case CmdOpen:
    case CmdImportBitmap:
    case CmdQuit:
    case CmdHelp:
    case CmdAbout:
        return true;
    case CmdSave: return document.IsModified();
    case CmdUndo: return document.CanUndo();
    case CmdRedo: return document.CanRedo();
    case CmdCut:
    case CmdCopy: return open && document.HasSelection();
    case CmdPaste: return open && clipboardHasPicture;
    case CmdDeleteImage: return document.CanDeleteImage();
    case CmdRestoreImage: return document.HasDeletedImage();
    }
    // Save as, Close, Select all, the tools, the effects and the image commands
    // all work on the open document.
    return open;
}
