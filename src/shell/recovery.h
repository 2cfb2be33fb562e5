#pragma once
#include <windows.h>

#include <string>

class Editor;

// While the document has unsaved changes, a copy of it is kept in the user's
// local application data, a few seconds behind the last change; at the next
// start after a crash or a power cut it is offered back.

// The copies' folder: "Vemiro Editor\Recovery" in the local application data.
std::wstring RecoveryRoot();

const UINT_PTR RecoveryTimer = 1;
// A change of the document: one not copied yet arms the timer.
void NoteDocumentState(Editor& editor, HWND mainWindow);
// WM_TIMER: the copy is written, unless a drag is going on.
void OnRecoveryTimer(Editor& editor, HWND mainWindow);
// The document was saved, closed or given up: its copy goes.
void ForgetRecoveryCopy(Editor& editor);
// The window goes: no more copies, and this editor's folder goes too.
void StopRecovery(Editor& editor, HWND mainWindow);
// At the start: asks about each readable copy left behind, and tells where the
// unreadable ones were put; true when one became the document.
bool OfferRecovery(Editor& editor, HWND mainWindow);
// VM_RECOVERY_FAILED, or a copy refused: says once a session that unsaved work
// is not being kept.
void TellRecoveryNotKept(Editor& editor, HWND mainWindow);
