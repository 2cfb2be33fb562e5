#include "shell/status_bars.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <stdio.h>

#include "document/icon_document.h"
#include "shell/editor_objects.h"
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

void SetPartText(int part, const char* text)
{
    if (Shell().statusBar)
        SendMessageW(Shell().statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(WideText(text).c_str()));
}

void FormatColour(COLORREF colour, char* text, size_t size)
{
    if (colour == TransparentColour)
        snprintf(text, size, "Transparent");
    else
        snprintf(text, size, " %i - %i - %i", static_cast<int>(GetRValue(colour)),
                 static_cast<int>(GetGValue(colour)), static_cast<int>(GetBValue(colour)));
}

void InvalidateSwatch()
{
    if (Shell().swatch)
        InvalidateRect(Shell().swatch, nullptr, TRUE);
}

}  // namespace

HWND SetUpStatusBar(HWND mainWindow)
{
    HWND bar = CreateWindowExW(WS_EX_DLGMODALFRAME, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE,
                               0, 0, 0, 0, mainWindow, nullptr, Shell().instance, nullptr);
    if (!bar)
        return nullptr;
    int rightEdges[5] = {340, 440, 540, 610, -1};
    SendMessageA(bar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(rightEdges));
    SendMessageW(bar, SB_SETTEXTW, PartToolHint, reinterpret_cast<LPARAM>(WideText(kReady).c_str()));
    return bar;
}

void UpdateTitle(HWND mainWindow)
{
    IconDocument& document = TheDocument();
    std::wstring title = WideText(AppTitle);
    if (document.IsOpen() && document.GetFilePath()[0] != L'\0')
        title += FormatWide("  : [ %s ]", {PathFindFileNameW(document.GetFilePath())});
    else if (document.IsOpen())
        title += WideText("  : [ nouveau ]");
    SetWindowTextW(mainWindow, title.c_str());
}

void UpdateColourStatus()
{
    IconDocument& document = TheDocument();
    if (!document.IsOpen() || !Shell().statusBar) {
        SetPartText(PartLeftColour, "");
        SetPartText(PartRightColour, "");
        InvalidateSwatch();
        return;
    }
    const IconImage* image = document.GetCurrentImage();
    if (!image || !image->IsValid()) {
        SetPartText(PartLeftColour, "");
        SetPartText(PartRightColour, "");
        return;
    }
    char text[48];
    FormatColour(image->Colours().GetLeftColour(), text, sizeof text);
    SetPartText(PartLeftColour, text);
    FormatColour(image->Colours().GetRightColour(), text, sizeof text);
    SetPartText(PartRightColour, text);
    InvalidateSwatch();
}

void UpdateCursorPosition(int x, int y)
{
    if (TheDocument().IsOpen() && Shell().statusBar) {
        char text[32];
        snprintf(text, sizeof text, " %i - %i", x, y);
        SetPartText(PartCursor, text);
    } else {
        SetPartText(PartCursor, "");
    }
}

const char* ToolHint(int tool)
{
    if (tool < 0 || tool >= static_cast<int>(sizeof kToolHints / sizeof kToolHints[0]))
        return "";
    return kToolHints[tool];
}

void UpdateToolHint()
{
    if (!TheDocument().IsOpen() || !Shell().statusBar)
        SetPartText(PartToolHint, kReady);
    else
        SetPartText(PartToolHint, ToolHint(TheCanvas().GetTool()));
}

void UpdateImageIndex(HWND mainWindow)
{
    IconDocument& document = TheDocument();
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

void UpdateHotspotText()
{
    HWND box = Shell().hotspotBox;
    if (!box)
        return;
    const IconImage* image = TheDocument().IsOpen() ? TheDocument().GetCurrentImage() : nullptr;
    if (!image || !image->IsValid()) {
        SetWindowTextW(box, L"");
        return;
    }
    const Hotspot hotspot = image->GetHotspot();
    char text[32];
    snprintf(text, sizeof text, "%i - %i", static_cast<int>(hotspot.x), static_cast<int>(hotspot.y));
    SetWindowTextW(box, WideText(text).c_str());
}
