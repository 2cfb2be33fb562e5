#include "shell/recovery.h"

#include <shlwapi.h>

#include "document/icon_document.h"
#include "document/recovery_store.h"
#include "shell/commands.h"
#include "shell/editor_objects.h"
#include "shell/file_commands.h"
#include "views/edit_view.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

// Well within the half-minute a user may lose, and rare enough that copying
// a large document costs nothing noticeable.
const UINT kCopyDelay = 3000;
const UINT kRetryDelay = 1000;

const char* const kOffer =
    "Vemiro Editor s'est arrêté sans que les modifications du document « %s » aient été enregistrées.\n"
    "Voulez-vous les récupérer ?";

unsigned long copiedChanges = 0;
bool armed = false;

void Arm(HWND mainWindow, UINT delay)
{
    armed = SetTimer(mainWindow, RecoveryTimer, delay, nullptr) != 0;
}

}  // namespace

RecoveryStore& TheRecovery()
{
    static RecoveryStore store(RecoveryRoot());
    return store;
}

void NoteDocumentState(HWND mainWindow)
{
    const IconDocument& document = TheDocument();
    if (!armed && document.IsOpen() && document.IsModified() && document.GetChangeCount() != copiedChanges)
        Arm(mainWindow, kCopyDelay);
}

void OnRecoveryTimer(HWND mainWindow)
{
    KillTimer(mainWindow, RecoveryTimer);
    armed = false;
    const IconDocument& document = TheDocument();
    if (!document.IsOpen() || !document.IsModified())
        return;
    // A stroke changes the image until its release; the copy waits for it.
    if (TheCanvas().GetMode() == EditView::ModeStroke || TheCanvas().GetMode() == EditView::ModeShape) {
        Arm(mainWindow, kRetryDelay);
        return;
    }
    // An untitled document, or one named otherwise, is kept as an icon.
    const bool cursor = FileKindOfPath(document.GetFilePath()) == IconFileKind::Cursor;
    std::vector<BYTE> bytes;
    if (!document.BuildFileBytes(cursor ? IconFileKind::Cursor : IconFileKind::Icon, bytes))
        return;
    TheRecovery().Write(std::move(bytes), cursor ? L".cur" : L".ico", document.GetFilePath(),
                        document.GetCurrentIndex());
    copiedChanges = document.GetChangeCount();
}

void ForgetRecoveryCopy()
{
    TheRecovery().Discard();
    copiedChanges = 0;
}

void StopRecovery(HWND mainWindow)
{
    KillTimer(mainWindow, RecoveryTimer);
    armed = false;
    TheRecovery().Release();
    copiedChanges = 0;
}

bool OfferRecovery(HWND mainWindow)
{
    for (const RecoveryStore::Orphan& orphan : TheRecovery().FindOrphans()) {
        const std::wstring name =
            orphan.originalPath.empty() ? WideText("nouveau") : PathFindFileNameW(orphan.originalPath.c_str());
        if (MessageBoxW(mainWindow, FormatWide(kOffer, {name}).c_str(), WideText(AppTitle).c_str(),
                        MB_YESNO | MB_ICONQUESTION) != IDYES) {
            RecoveryStore::Remove(orphan);
            continue;
        }
        // Moved into this editor's own folder first, so that it stays offered
        // should this editor stop too before the next copy.
        const std::wstring copy = TheRecovery().Adopt(orphan);
        IconDocument& document = TheDocument();
        OpenFailure why = OpenFailureUnreadable;
        if (copy.empty() || !document.OpenRecoveryCopy(copy.c_str(), orphan.originalPath.c_str(),
                                                       orphan.currentImage, &why)) {
            TellOpenFailure(mainWindow, copy.empty() ? orphan.copy.c_str() : copy.c_str(), why);
            continue;
        }
        copiedChanges = document.GetChangeCount();
        Refresh(mainWindow, RefreshWholeDocument);
        return true;
    }
    return false;
}
