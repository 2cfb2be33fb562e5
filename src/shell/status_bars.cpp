#include "shell/status_bars.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <stdio.h>

#include "document/icon_document.h"
#include "shell/editor.h"
#include "views/edit_view.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

const char* const kReady = "Prêt";

const char* const kToolHints[] = {
    "Dessine une ligne quelconque ou des points détachés",
    "Colorie toute la surface de même teinte",
    "Récupère une couleur dans l'image",
    "Efface une partie de l'image et rend transparent",
    "Dessine une ligne droite",
    "Dessine un rectangle",
    "Dessine une ellipse",
    "Récupère les coordonnées de la pointe du curseur",
    "Sélectionne une partie de l'image",
};

void SetPartText(const Editor& editor, int part, const char* text)
{
    if (editor.shell.statusBar)
        SendMessageW(editor.shell.statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void FormatColour(COLORREF colour, char* text, size_t size)
{
    if (colour == TransparentColour)
        snprintf(text, size, "Transparent");
    else
        snprintf(text, size, " %i - %i - %i", static_cast<int>(GetRValue(colour)),
                 static_cast<int>(GetGValue(colour)), static_cast<int>(GetBValue(colour)));
}

void InvalidateSwatch(const Editor& editor)
{
    if (editor.shell.swatch)
        InvalidateRect(editor.shell.swatch, nullptr, TRUE);
}

}  // namespace

HWND SetUpStatusBar(const Editor& editor, HWND mainWindow)
{
    HWND bar = CreateWindowExW(WS_EX_DLGMODALFRAME, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE,
                               0, 0, 0, 0, mainWindow, nullptr, editor.shell.instance, nullptr);
    if (!bar)
        return nullptr;
    int rightEdges[5] = {340, 440, 540, 610, -1};
    SendMessageA(bar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(rightEdges));
    SendMessageW(bar, SB_SETTEXTW, PartToolHint, reinterpret_cast<LPARAM>(WideText(kReady).c_str()));
    return bar;
}

void UpdateTitle(Editor& editor, HWND mainWindow)
{
    IconDocument& document = editor.document;
    std::wstring title = WideText(AppTitle);
    if (document.IsOpen() && document.GetFilePath()[0] != L'\0')
        title += FormatWide("  : [ %s ]", {PathFindFileNameW(document.GetFilePath())});
    else if (document.IsOpen())
        title += WideText("  : [ nouveau ]");
    SetWindowTextW(mainWindow, title.c_str());
}

void UpdateColourStatus(Editor& editor)
{
    IconDocument& document = editor.document;
    if (!document.IsOpen() || !editor.shell.statusBar) {
        SetPartText(editor, PartLeftColour, "");
        SetPartText(editor, PartRightColour, "");
        InvalidateSwatch(editor);
        return;
    }
    const IconImage* image = document.GetCurrentImage();
    if (!image || !image->IsValid()) {
        SetPartText(editor, PartLeftColour, "");
        SetPartText(editor, PartRightColour, "");
        return;
    }
    char text[48];
    FormatColour(image->Colours().GetLeftColour(), text, sizeof text);
    SetPartText(editor, PartLeftColour, text);
    FormatColour(image->Colours().GetRightColour(), text, sizeof text);
    SetPartText(editor, PartRightColour, text);
    InvalidateSwatch(editor);
}

void UpdateCursorPosition(Editor& editor, int x, int y)
{
    if (editor.document.IsOpen() && editor.shell.statusBar) {
        char text[32];
        snprintf(text, sizeof text, " %i - %i", x, y);
        SetPartText(editor, PartCursor, text);
    } else {
        SetPartText(editor, PartCursor, "");
    }
}

const char* ToolHint(int tool)
{
    if (tool < 0 || tool >= static_cast<int>(sizeof kToolHints / sizeof kToolHints[0]))
        return "";
    return kToolHints[tool];
}

void UpdateToolHint(Editor& editor)
{
    if (!editor.document.IsOpen() || !editor.shell.statusBar)
        SetPartText(editor, PartToolHint, kReady);
    else
        SetPartText(editor, PartToolHint, ToolHint(editor.canvas.GetTool()));
}

void ShowStatusMessage(Editor& editor, const char* text)
{
    SetPartText(editor, PartToolHint, text);
}

void UpdateImageIndex(Editor& editor, HWND mainWindow)
{
    IconDocument& document = editor.document;
    SendDlgItemMessageA(mainWindow, IDC_IMAGE_INDEX_BOX, CB_RESETCONTENT, 0, 0);
    if (!document.IsOpen()) {
        SetDlgItemTextW(mainWindow, IDC_FORMAT_BOX, L"");
        return;
    }
    const int count = document.GetImageCount();
    for (int i = 1; i <= count; ++i) {
        char number[16];
        snprintf(number, sizeof number, "%i", i);
        SendDlgItemMessageW(mainWindow, IDC_IMAGE_INDEX_BOX, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(WideText(number).c_str()));
    }
    SendDlgItemMessageA(mainWindow, IDC_IMAGE_INDEX_BOX, CB_SETCURSEL, document.GetCurrentIndex(), 0);
    const IconImage* image = document.GetCurrentImage();
    SetDlgItemTextW(mainWindow, IDC_FORMAT_BOX, WideText(image ? image->GetFormatText().c_str() : "").c_str());
}

void UpdateHotspotText(Editor& editor)
{
    HWND box = editor.shell.hotspotBox;
    if (!box)
        return;
    const IconImage* image = editor.document.IsOpen() ? editor.document.GetCurrentImage() : nullptr;
    if (!image || !image->IsValid()) {
        SetWindowTextW(box, L"");
        return;
    }
    const Hotspot hotspot = image->GetHotspot();
    char text[32];
    snprintf(text, sizeof text, "%i - %i", static_cast<int>(hotspot.x), static_cast<int>(hotspot.y));
    SetWindowTextW(box, WideText(text).c_str());
}
