#pragma once
#include <windows.h>

#include "document/icon_document.h"
#include "document/open_failure.h"

class Editor;

// The commands that replace, write or discard the document, with the questions
// and messages that go with them.

void NewDocument(Editor& editor, HWND mainWindow);
void OpenDocument(Editor& editor, HWND mainWindow);
void ImportBitmapDocument(Editor& editor, HWND mainWindow);
void CloseCurrentDocument(Editor& editor, HWND mainWindow);

// Save (to the document's file, asking for one when it has none) or Save as.
// True when the document went to disk; a cancelled dialog says nothing, a
// write that failed says so.
bool SaveFromShell(Editor& editor, HWND owner, bool chooseName);

// Asks whether to save a modified document. True when the caller may go on
// discarding or replacing the document: nothing to save, "Non", or "Oui" with
// a save that succeeded.
bool AskSaveChanges(Editor& editor, HWND owner);

// Opens an icon or cursor file as the document; when it does not open, the
// user is told why and the document stays as it was. Entries kept without
// being editable are told once.
bool OpenIconFile(Editor& editor, HWND mainWindow, const wchar_t* path);

// A file dropped on the window: an icon or cursor is opened, a bitmap imported
// in place of the document, each after the save prompt; anything else is told.
void OpenDroppedFile(Editor& editor, HWND mainWindow, const wchar_t* path);

// Imports a bitmap as the document's only image (replace) or as one more; when
// it fails, the user is told why.
bool ImportBitmapFile(Editor& editor, HWND mainWindow, const wchar_t* path, bool replace);

// Tells that the file at path did not open, and why.
void TellOpenFailure(HWND owner, const wchar_t* path, OpenFailure why);

// The texts that tell why a file did not open or import.
const char* OpenFailureText(OpenFailure why);
const char* ImportFailureText(ImportFailure why);

extern const char* const SavePromptText;
// Said when an image added would make a file the editor could not open again.
extern const char* const TooManyImagesText;
