#include "shell/recovery.h"

#include <shlwapi.h>

#include "document/icon_document.h"
#include "document/recovery_store.h"
#include "shell/editor.h"
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

void Arm(Editor& editor, HWND mainWindow, UINT delay)
{
    editor.recoveryState.armed = SetTimer(mainWindow, RecoveryTimer, delay, nullptr) != 0;
}

void Tell(HWND mainWindow, const char* format, const std::wstring& path, UINT icon)
{
    MessageBoxW(mainWindow, FormatWide(format, {path}).c_str(), WideText(AppTitle).c_str(), MB_OK | icon);
}

// The copy of the document as it is now. An untitled document, or one named
// otherwise than .cur, is kept as an icon; its record holds the hotspots.
bool WriteCopy(Editor& editor, bool now)
{
    const IconDocument& document = editor.document;
    const bool cursor = FileKindOfPath(document.GetFilePath()) == IconFileKind::Cursor;
    std::vector<BYTE> bytes;
    RecoveryRecord record;
    if (!RecordOfDocument(document, record) ||
        document.BuildFileBytes(cursor ? IconFileKind::Cursor : IconFileKind::Icon, bytes) != SaveFailure::None)
        return false;
    const wchar_t* extension = cursor ? L".cur" : L".ico";
    return now ? editor.recovery.WriteNow(std::move(bytes), extension, record)
               : editor.recovery.Write(std::move(bytes), extension, record);
}

// Opened where it lies; moved into this editor's keeping only once its work
// is in this editor's own copy. On any failure the copy stays untouched.
bool TakeOver(Editor& editor, HWND mainWindow, RecoveryStore::Orphan& orphan)
{
    IconDocument& document = editor.document;
    const OpenFailure why = document.OpenRecoveryCopy(orphan.copy.c_str(), orphan.record);
    if (why != OpenFailureNone) {
        TellOpenFailure(mainWindow, orphan.copy.c_str(), why);
        return false;
    }
    if (WriteCopy(editor, true))
        RecoveryStore::Remove(orphan);
    else
        Tell(mainWindow, kLeftInPlace, orphan.copy, MB_ICONEXCLAMATION);
    editor.recoveryState.copiedChanges = document.GetChangeCount();
    return true;
}

}  // namespace

void TellRecoveryNotKept(Editor& editor, HWND mainWindow)
{
    if (editor.recoveryState.toldNotKept)
        return;
    editor.recoveryState.toldNotKept = true;
    Tell(mainWindow, kNotKept, RecoveryRoot(), MB_ICONEXCLAMATION);
}

void NoteDocumentState(Editor& editor, HWND mainWindow)
{
    const IconDocument& document = editor.document;
    const RecoveryState& state = editor.recoveryState;
    if (!state.armed && document.IsOpen() && document.IsModified() && document.GetChangeCount() != state.copiedChanges)
        Arm(editor, mainWindow, kCopyDelay);
}

void OnRecoveryTimer(Editor& editor, HWND mainWindow)
{
    KillTimer(mainWindow, RecoveryTimer);
    editor.recoveryState.armed = false;
    const IconDocument& document = editor.document;
    // Nothing changed since the last copy (one taken over at the start among them).
    if (!document.IsOpen() || !document.IsModified() || document.GetChangeCount() == editor.recoveryState.copiedChanges)
        return;
    // A stroke changes the image until its release; the copy waits for it.
    if (editor.canvas.GetMode() == EditView::ModeStroke || editor.canvas.GetMode() == EditView::ModeShape) {
        Arm(editor, mainWindow, kRetryDelay);
        return;
    }
    editor.recovery.NotifyFailures(mainWindow, VM_RECOVERY_FAILED);
    editor.recoveryState.copiedChanges = document.GetChangeCount();
    if (!WriteCopy(editor, false))
        TellRecoveryNotKept(editor, mainWindow);
}

void ForgetRecoveryCopy(Editor& editor)
{
    editor.recovery.Discard();
    editor.recoveryState.copiedChanges = 0;
}

void StopRecovery(Editor& editor, HWND mainWindow)
{
    KillTimer(mainWindow, RecoveryTimer);
    editor.recoveryState.armed = false;
    editor.recovery.Release();
    editor.recoveryState.copiedChanges = 0;
}

bool OfferRecovery(Editor& editor, HWND mainWindow)
{
    std::vector<std::wstring> setAside;
    std::vector<RecoveryStore::Orphan> orphans = editor.recovery.FindOrphans(&setAside);
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
        if (TakeOver(editor, mainWindow, orphan))
            return true;
    }
    return false;
}
