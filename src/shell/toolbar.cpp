#include "shell/toolbar.h"

#include <string.h>

#include "shell/editor.h"
#include "win/glyph_list.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

// The structures as common controls 6 of Windows XP knows them: the band's
// later fields would make older versions refuse it.
static_assert(sizeof(void*) != 4 || sizeof(REBARINFO) == 12, "32-bit REBARINFO");
static_assert(sizeof(void*) != 4 || sizeof(REBARBANDINFOW) == 80, "REBARBANDINFOW of Windows XP");
static_assert(sizeof(void*) != 4 || sizeof(TBBUTTON) == 20, "32-bit TBBUTTON");

const int kGlyphSide = 18;

struct TooltipText
{
    int command;
    const char* text;
};

const TooltipText kTooltips[] = {
    {IDM_NEW, "Créer une nouvelle icône"},
    {IDM_OPEN, "Ouvrir un fichier icône"},
    {IDM_SAVE, "Enregistrer le fichier"},
    {IDM_UNDO, "Annuler la dernière modification"},
    {IDM_REDO, "Refaire l'annulation"},
    {IDM_CUT, "Couper"},
    {IDM_COPY, "Copier"},
    {IDM_PASTE, "Coller"},
};

TBBUTTON Button(int glyph, int command, BYTE state)
{
    TBBUTTON button = {};
    button.iBitmap = glyph;
    button.idCommand = command;
    button.fsState = state;
    button.fsStyle = TBSTYLE_BUTTON;
    return button;
}

TBBUTTON Separator()
{
    TBBUTTON button = {};
    button.fsStyle = TBSTYLE_SEP;
    return button;
}

HWND MakeToolbar(HINSTANCE instance, HWND mainWindow, HIMAGELIST images)
{
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                       CCS_NOPARENTALIGN | CCS_NORESIZE,
                                   0, 0, 0, 0, mainWindow, nullptr, instance, nullptr);
    if (!toolbar)
        return nullptr;
    const TBBUTTON buttons[11] = {
        Button(0, IDM_NEW, TBSTATE_ENABLED), Button(1, IDM_OPEN, TBSTATE_ENABLED), Button(2, IDM_SAVE, 0),
        Separator(),
        Button(3, IDM_UNDO, 0), Button(4, IDM_REDO, 0),
        Separator(),
        Button(5, IDM_CUT, 0), Button(6, IDM_COPY, 0), Button(7, IDM_PASTE, 0),
        Separator(),
    };
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(kGlyphSide, kGlyphSide));
    SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELONG(24, 23));
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (!SendMessageA(toolbar, TB_ADDBUTTONSW, 11, reinterpret_cast<LPARAM>(buttons))) {
        DestroyWindow(toolbar);
        return nullptr;
    }
    return toolbar;
}

}  // namespace

const int ToolbarCommands[8] = {IDM_NEW, IDM_OPEN, IDM_SAVE, IDM_UNDO, IDM_REDO, IDM_CUT, IDM_COPY, IDM_PASTE};

HWND SetUpRebarAndToolbar(ShellState& shell, HWND mainWindow)
{
    HWND rebar = CreateWindowExW(WS_EX_CLIENTEDGE, REBARCLASSNAMEW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                     CCS_NODIVIDER,
                                 0, 0, 0, 0, mainWindow, nullptr, shell.instance, nullptr);
    if (!rebar)
        return nullptr;
    REBARINFO bar = {};
    bar.cbSize = sizeof bar;
    if (!SendMessageA(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&bar)))
        return rebar;

    OwnedImageList images = LoadGlyphList(shell.instance, IDB_TOOLBAR_GLYPHS, kGlyphSide, ILC_COLOR24, 8);
    if (!images.Ok())
        return rebar;
    HWND toolbar = MakeToolbar(shell.instance, mainWindow, images);
    if (!toolbar)
        return rebar;
    shell.toolbar = toolbar;
    // From here the main window releases the list when it goes.
    shell.toolbarImages = images.Release();

    const DWORD buttonSize = static_cast<DWORD>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0));
    REBARBANDINFOW band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE;
    band.hwndChild = toolbar;
    band.cxMinChild = 150;
    band.cyMinChild = HIWORD(buttonSize);
    band.cx = 250;
    SendMessageA(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    return rebar;
}

const char* ToolbarTooltip(int command)
{
    for (const TooltipText& entry : kTooltips)
        if (entry.command == command)
            return entry.text;
    return nullptr;
}

LRESULT OnToolbarTooltip(WPARAM wParam, NMHDR* header)
{
    // The main window asks for wide notifications: an ANSI text would pass
    // through the system's code page and lose its accents on other systems.
    if (!header || header->code != TTN_NEEDTEXTW)
        return 0;
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    info->hinst = nullptr;
    const char* text = ToolbarTooltip(static_cast<int>(wParam));
    if (text) {
        // Written into the notification's own buffer, whatever lpszText held,
        // so that a text longer than the caller's buffer can never overrun it.
        lstrcpynW(info->szText, WideText(text).c_str(), sizeof info->szText / sizeof info->szText[0]);
        info->lpszText = info->szText;
    }
    return 0;
}
