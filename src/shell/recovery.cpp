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
const char* const kNotKept =
    "Les modifications non enregistrées ne sont pas gardées en cas d'arrêt imprévu de Vemiro Editor : "
    "le dossier de récupération « %s » ne peut pas être écrit.";
const char* const kSetAside =
    "Une copie de récupération illisible a été mise de côté sans être effacée. Elle se trouve ici :\n%s";
const char* const kLeftInPlace =
    "Le travail récupéré n'a pas pu être repris dans le dossier de récupération ; sa copie reste ici :\n%s";

unsigned long copiedChanges = 0;
bool armed = false;
bool toldNotKept = false;

void Arm(HWND mainWindow, UINT delay)
{
    armed = SetTimer(mainWindow, RecoveryTimer, delay, nullptr) != 0;
}

void Tell(HWND mainWindow, const char* format, const std::wstring& path, UINT icon)
{
    MessageBoxW(mainWindow, FormatWide(format, {path}).c_str(), WideText(AppTitle).c_str(), MB_OK | icon);
}

// The copy of the document as it is now. An untitled document, or one named
// otherwise than .cur, is kept as an icon; its record holds the hotspots.
bool WriteCopy(bool now)
{
    const IconDocument& document = TheDocument();
    const bool cursor = FileKindOfPath(document.GetFilePath()) == IconFileKind::Cursor;
    std::vector<BYTE> bytes;
    RecoveryRecord record;
    if (!RecordOfDocument(document, record) ||
        !document.BuildFileBytes(cursor ? IconFileKind::Cursor : IconFileKind::Icon, bytes))
        return false;
    const wchar_t* extension = cursor ? L".cur" : L".ico";
    return now ? TheRecovery().WriteNow(std::move(bytes), extension, record)
               : TheRecovery().Write(std::move(bytes), extension, record);
}

// Opened where it lies; moved into this editor's keeping only once its work
// is in this editor's own copy. On any failure the copy stays untouched.
bool TakeOver(HWND mainWindow, RecoveryStore::Orphan& orphan)
{
    IconDocument& document = TheDocument();
    OpenFailure why = OpenFailureUnreadable;
    if (!document.OpenRecoveryCopy(orphan.copy.c_str(), orphan.record, &why)) {
        TellOpenFailure(mainWindow, orphan.copy.c_str(), why);
        return false;
    }
    if (WriteCopy(true))
        RecoveryStore::Remove(orphan);
    else
        Tell(mainWindow, kLeftInPlace, orphan.copy, MB_ICONEXCLAMATION);
    copiedChanges = document.GetChangeCount();
    Refresh(mainWindow, RefreshWholeDocument);
    return true;
}

}  // namespace

RecoveryStore& TheRecovery()
{
    static RecoveryStore store(RecoveryRoot());
    return store;
}

void TellRecoveryNotKept(HWND mainWindow)
{
    if (toldNotKept)
        return;
    toldNotKept = true;
    Tell(mainWindow, kNotKept, RecoveryRoot(), MB_ICONEXCLAMATION);
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
    TheRecovery().NotifyFailures(mainWindow, VM_RECOVERY_FAILED);
    copiedChanges = document.GetChangeCount();
    if (!WriteCopy(false))
        TellRecoveryNotKept(mainWindow);
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
    std::vector<std::wstring> setAside;
    std::vector<RecoveryStore::Orphan> orphans = TheRecovery().FindOrphans(&setAside);
    for (const std::wstring& aside : setAside)
        Tell(mainWindow, kSetAside, aside, MB_ICONEXCLAMATION);
    // Each copy's lock is held while it is offered, so that no other editor
    // starting meanwhile offers, or removes, the same one.
    for (RecoveryStore::Orphan& orphan : orphans) {
        const std::wstring name = orphan.record.originalPath.empty()
                                      ? WideText("nouveau")
                                      : PathFindFileNameW(orphan.record.originalPath.c_str());
        if (MessageBoxW(mainWindow, FormatWide(kOffer, {name}).c_str(), WideText(AppTitle).c_str(),
                        MB_YESNO | MB_ICONQUESTION) != IDYES) {
            RecoveryStore::Remove(orphan);
            continue;
        }
        if (TakeOver(mainWindow, orphan))
            return true;
    }
    return false;
}
