#pragma once
#include <windows.h>

#include "document/icon_document.h"

// The clipboard's side of Copy, Cut and Paste: the document builds and reads
// the pictures (clipboard_offer.h), these open the clipboard and move them,
// with owner as the clipboard's owner window.

// Puts every format of the copy; Done once at least the first was taken.
EditOutcome CopyToClipboard(const IconDocument& document, HWND owner);
// Clears the selected pixels only once their copy reached the clipboard.
EditOutcome CutToClipboard(IconDocument& document, HWND owner);
// Pastes the first format the clipboard holds in the document's order.
EditOutcome PasteFromClipboard(IconDocument& document, HWND owner);

// Whether the clipboard holds a picture that Paste can take.
bool ClipboardHasPicture();
