#include "shell/document_refresh.h"

#include "shell/commands.h"
#include "shell/editor.h"
#include "shell/recovery.h"
#include "shell/status_bars.h"

namespace {

void Invalidate(HWND window, BOOL erase)
{
    if (window)
        InvalidateRect(window, nullptr, erase);
}

}  // namespace

void DocumentRefresh::Attach(HWND mainWindow)
{
    mainWindow_ = mainWindow;
    editor_.document.AddObserver(this);
}

void DocumentRefresh::Detach()
{
    editor_.document.RemoveObserver(this);
    mainWindow_ = nullptr;
}

// Another image, or another document, is shown from scratch: the canvas is
// erased first, as it draws nothing without an image. The canvas shows the
// selection and the tools' drags itself, as it repaints only what they cover.
void DocumentRefresh::DocumentChanged(unsigned changes)
{
    Editor& editor = editor_;
    const bool shown = (changes & ChangeImageList) != 0;
    if (changes & (ChangePalette | ChangeColours | ChangeImageList))
        Invalidate(editor.palette.GetPaletteWindow(), TRUE);
    if (shown)
        editor.canvas.RepaintImage(true);
    else if (changes & (ChangePixels | ChangePalette))
        editor.canvas.RepaintImage(false);
    if (changes & (ChangePixels | ChangePalette | ChangeImageList))
        editor.preview.RefreshPreview();
    if (changes & (ChangePalette | ChangeColours | ChangeImageList))
        UpdateColourStatus(editor);
    if (shown)
        UpdateImageIndex(editor, mainWindow_);
    if (changes & ChangeFileState) {
        UpdateTitle(editor, mainWindow_);
        // Saved, replaced or closed: the copy was of work that is safe or gone.
        ForgetRecoveryCopy(editor);
    }
    // The painting colours are no part of what a command or a copy depends on.
    if (changes != ChangeColours) {
        UpdateCommandState(editor, mainWindow_);
        NoteDocumentState(editor, mainWindow_);
    }
    if (shown)
        UpdateToolHint(editor);
    if (changes & (ChangeHotspot | ChangeImageList))
        UpdateHotspotText(editor);
}
