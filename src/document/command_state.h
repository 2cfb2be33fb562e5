#pragma once

class IconDocument;

// Whether a menu or toolbar command can be chosen now: a function of the
// document alone and of whether the clipboard holds a picture, which only the
// shell can ask the system.
bool IsCommandEnabled(int command, const IconDocument& document, bool clipboardHasPicture);
