#include "shell/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <new>
#include <string>

#include "document/icon_document.h"
#include "shell/colour_swatch.h"
#include "shell/commands.h"
#include "shell/editor.h"
#include "shell/file_commands.h"
#include "shell/recovery.h"
#include "shell/status_bars.h"
#include "shell/tool_buttons.h"
#include "shell/toolbar.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "views/preview_view.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

enum Keep { KeepNothing, KeepSwatch, KeepHotspotBox };

struct ChildLayout
{
    const char* className;
    const char* text;
    DWORD extendedStyle;
    DWORD style;
    int x, y, width, height;
    int id;
    bool font;
    Keep keep;
};

const DWORD kGroupBox = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
const DWORD kLabel = WS_CHILD | WS_VISIBLE;
const DWORD kReadOnlyBox = WS_CHILD | WS_VISIBLE | ES_READONLY | ES_CENTER;

// Fixed layout of the frames and small controls, in creation order.
const ChildLayout kChildren[] = {
    {"Button", "Couleur", 0, kGroupBox, 10, 35, 95, 70, 0, true, KeepNothing},
    {"Button", "Outils", 0, kGroupBox, 10, 115, 95, 130, 0, true, KeepNothing},
    {"Button", "Effets", 0, kGroupBox, 10, 255, 95, 85, 0, true, KeepNothing},
    {"Button", "Point curseur", 0, kGroupBox, 10, 350, 95, 51, 0, true, KeepNothing},
    {"Button", "Edition", 0, kGroupBox, 120, 35, 300, 305, 0, true, KeepNothing},
    {"Button", "Index et format d'image", 0, kGroupBox, 120, 350, 300, 51, 0, true, KeepNothing},
    {"Button", "Aperçu", 0, kGroupBox, 435, 35, 185, 150, 0, true, KeepNothing},
    {"Button", "Palette de couleur", 0, kGroupBox, 435, 195, 185, 206, 0, true, KeepNothing},
    {"static", "Index :", 0, kLabel, 140, 373, 40, 20, 0, true, KeepNothing},
    {"combobox", "", 0, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 180, 370, 42, 60, IDC_IMAGE_INDEX_BOX, true,
     KeepNothing},
    {"static", "Format :", 0, kLabel, 250, 373, 40, 20, 0, true, KeepNothing},
    {"edit", "", WS_EX_CLIENTEDGE, kReadOnlyBox, 295, 370, 110, 22, IDC_FORMAT_BOX, true, KeepNothing},
    {"static", "", 0, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 30, 54, 54, 40, 0, false, KeepSwatch},
    {"edit", "", 0, kReadOnlyBox, 20, 372, 75, 18, 0, true, KeepHotspotBox},
};

void CreateChild(ShellState& shell, HWND mainWindow, const ChildLayout& layout)
{
    HWND child = CreateWindowExW(layout.extendedStyle, WideText(layout.className).c_str(),
                                 WideText(layout.text).c_str(), layout.style, layout.x, layout.y, layout.width,
                                 layout.height, mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                 shell.instance, nullptr);
    if (!child)
        return;
    if (layout.font)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    if (layout.keep == KeepSwatch)
        shell.swatch = child;
    else if (layout.keep == KeepHotspotBox)
        shell.hotspotBox = child;
}

#ifndef WM_CLIPBOARDUPDATE
const UINT WM_CLIPBOARDUPDATE = 0x031D;
#endif

// The clipboard listener came with Windows Vista; looked up at run time so that
// older systems still start, where activating the window catches up instead.
typedef BOOL(WINAPI* ClipboardListener)(HWND);

ClipboardListener ListenerFunction(const char* name)
{
    return reinterpret_cast<ClipboardListener>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

void ListenToClipboard(HWND hwnd, bool listen)
{
    if (ClipboardListener function =
            ListenerFunction(listen ? "AddClipboardFormatListener" : "RemoveClipboardFormatListener"))
        function(hwnd);
}

LRESULT OnCreate(Editor& editor, HWND hwnd)
{
    editor.refresh.Attach(hwnd);
    ListenToClipboard(hwnd, true);
    DragAcceptFiles(hwnd, TRUE);
    SetUpRebarAndToolbar(editor.shell, hwnd);
    for (const ChildLayout& layout : kChildren)
        CreateChild(editor.shell, hwnd, layout);
    editor.shell.statusBar = SetUpStatusBar(editor, hwnd);
    editor.palette.CreatePaletteView(hwnd);
    editor.preview.CreatePreview(hwnd);
    editor.canvas.CreateEditView(hwnd);
    SetUpToolButtons(editor.shell.instance, hwnd);
    return 0;
}

LRESULT OnClose(Editor& editor, HWND hwnd)
{
    editor.canvas.EndDrag();
    if (AskSaveChanges(editor, hwnd)) {
        editor.document.CloseDocument();
        DestroyWindow(hwnd);
    }
    return 0;
}

// The whole name of a dropped file, however long; empty when it cannot be had.
std::wstring DroppedPath(HDROP drop, UINT index)
{
    // Asked with no buffer, the count is the name's length, not what was copied.
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path;
    try {
        path.resize(size_t(length) + 1);
    } catch (const std::bad_alloc&) {
        return std::wstring();
    }
    if (length == 0 || DragQueryFileW(drop, index, &path[0], length + 1) != length)
        return std::wstring();
    path.resize(length);
    return path;
}

// Of several files dropped at once, the first is taken. While a dialog has
// the window disabled (the save prompt, a file dialog), a drop would replace
// the document under that dialog: it is ignored.
LRESULT OnDropFiles(Editor& editor, HWND hwnd, HDROP drop)
{
    const std::wstring path = IsWindowEnabled(hwnd) ? DroppedPath(drop, 0) : std::wstring();
    DragFinish(drop);
    if (!path.empty())
        OpenDroppedFile(editor, hwnd, path.c_str());
    return 0;
}

// Logging off or shutting down asks as closing does; only "Non" or a save that
// succeeded let the session end.
LRESULT OnQueryEndSession(Editor& editor, HWND hwnd)
{
    editor.canvas.EndDrag();
    return AskSaveChanges(editor, hwnd) ? TRUE : FALSE;
}

LRESULT OnDestroy(Editor& editor, HWND hwnd)
{
    ListenToClipboard(hwnd, false);
    editor.refresh.Detach();
    StopRecovery(editor, hwnd);
    ShellState& shell = editor.shell;
    if (shell.toolbarImages)
        ImageList_Destroy(shell.toolbarImages);
    // The children die with the window; nothing may reach them afterwards.
    const HINSTANCE instance = shell.instance;
    const HACCEL shortcuts = shell.shortcuts;
    shell = ShellState();
    shell.instance = instance;
    shell.shortcuts = shortcuts;
    PostQuitMessage(0);
    return 0;
}

// The editor given as creation parameter is bound on WM_NCCREATE, before any
// message that could need it, and let go after WM_NCDESTROY.
Editor* BoundEditor(HWND hwnd, UINT msg, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    Editor* editor = reinterpret_cast<Editor*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return editor;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Editor* bound = BoundEditor(hwnd, msg, lParam);
    if (!bound)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    Editor& editor = *bound;
    Commands commands(editor);
    switch (msg) {
    case WM_CREATE: return OnCreate(editor, hwnd);
    case WM_CLOSE: return OnClose(editor, hwnd);
    case WM_DESTROY: return OnDestroy(editor, hwnd);
    case WM_QUERYENDSESSION: return OnQueryEndSession(editor, hwnd);
    case WM_DROPFILES: return OnDropFiles(editor, hwnd, reinterpret_cast<HDROP>(wParam));
    case WM_TIMER:
        if (wParam == RecoveryTimer)
            OnRecoveryTimer(editor, hwnd);
        return 0;
    case VM_RECOVERY_FAILED: TellRecoveryNotKept(editor, hwnd); return 0;
    case WM_ENDSESSION:
        // The user answered the save prompt already: nothing is left to recover.
        if (wParam)
            StopRecovery(editor, hwnd);
        return 0;
    case WM_NOTIFYFORMAT:
        // Wide, so that the tooltip texts keep their accents on any system.
        if (lParam == NF_QUERY)
            return NFR_UNICODE;
        break;
    case WM_CLIPBOARDUPDATE: UpdateCommandState(editor, hwnd); return 0;
    case WM_ACTIVATE:
        // Another program may have changed the clipboard meanwhile.
        if (LOWORD(wParam) != WA_INACTIVE)
            UpdateCommandState(editor, hwnd);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_DRAWITEM: return DrawColourSwatch(editor, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_NOTIFY: return OnToolbarTooltip(wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        commands.OnCommand(hwnd, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        commands.OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), lParam);
        return 0;
    case VM_CURSOR_POSITION:
    case VM_EDIT_REFUSED:
        commands.OnNotification(hwnd, msg, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
