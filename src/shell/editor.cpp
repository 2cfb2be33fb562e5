#include "shell/editor.h"

#include "shell/recovery.h"
#include "win/identifiers.h"

Editor::Editor(HINSTANCE instance)
    : palette(&document), preview(document), canvas(document), recovery(RecoveryRoot())
{
    shell.instance = instance;
    shell.shortcuts = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_SHORTCUTS));
}
