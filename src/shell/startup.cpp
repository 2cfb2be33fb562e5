#include "shell/startup.h"

#include <commctrl.h>

#include "document/icon_document.h"
#include "shell/commands.h"
#include "shell/editor.h"
#include "shell/file_commands.h"
#include "shell/main_window.h"
#include "shell/recovery.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "views/tool_button.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

const char* const kNotOpenedForRecovery =
    "Le fichier « %s » n'a pas été ouvert : le travail récupéré occupe la fenêtre. "
    "Vous pourrez l'ouvrir une fois ce travail enregistré ou abandonné.";

}  // namespace

void InitialiseShell()
{
    InitCommonControls();
}

bool RegisterEditorClasses(HINSTANCE instance)
{
    WNDCLASSEXW frame = {};
    frame.cbSize = sizeof frame;
    frame.style = CS_DBLCLKS;
    frame.lpfnWndProc = MainWindowProc;
    frame.hInstance = instance;
    frame.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    // The icon's own 16 x 16 picture, drawn for that size, rather than the
    // 32 x 32 one shrunk; shared, so that it lives as long as the module.
    frame.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                  LR_SHARED));
    frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    frame.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    frame.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    frame.lpszClassName = MainWindowClassWide;
    if (LOWORD(RegisterClassExW(&frame)) == 0)
        return false;
    return LOWORD(RegisterToolButtonClass()) != 0 && LOWORD(PaletteView::RegisterPaletteClass()) != 0 &&
           LOWORD(EditView::RegisterEditViewClass()) != 0 && LOWORD(PreviewView::RegisterPreviewClass()) != 0;
}

HWND CreateMainWindow(Editor& editor)
{
    return CreateWindowExW(0, MainWindowClassWide, WideText(AppTitle).c_str(), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           CW_USEDEFAULT, CW_USEDEFAULT, MainWindowWidth, MainWindowHeight, nullptr, nullptr,
                           editor.shell.instance, &editor);
}

bool OpenCommandLineFile(Editor& editor, HWND mainWindow, int argc, wchar_t** argv)
{
    if (argc < 2 || !argv || !argv[1])
        return false;
    return OpenIconFile(editor, mainWindow, argv[1]);
}

// Opening the file at once would ask straight away to save the recovered
// work away; the user opens it when that work is dealt with.
void OpenStartDocument(Editor& editor, HWND mainWindow, int argc, wchar_t** argv)
{
    if (!OfferRecovery(editor, mainWindow)) {
        OpenCommandLineFile(editor, mainWindow, argc, argv);
        return;
    }
    if (argc >= 2 && argv && argv[1])
        MessageBoxW(mainWindow, FormatWide(kNotOpenedForRecovery, {argv[1]}).c_str(), WideText(AppTitle).c_str(),
                    MB_OK | MB_ICONINFORMATION);
}

// The shortcuts go to the main window whichever of its children has the focus;
// dialogs run loops of their own, where they do not apply.
void DispatchEditorMessage(const Editor& editor, HWND mainWindow, MSG& message)
{
    HACCEL shortcuts = editor.shell.shortcuts;
    if (mainWindow && shortcuts && TranslateAcceleratorA(mainWindow, shortcuts, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

int RunMessageLoop(const Editor& editor, HWND mainWindow)
{
    MSG message;
    BOOL got;
    // -1 is an error from GetMessage, not a message; stop rather than spin.
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0 && got != -1)
        DispatchEditorMessage(editor, mainWindow, message);
    return got == 0 ? static_cast<int>(message.wParam) : 0;
}
