#include "shell/tool_buttons.h"

#include <commctrl.h>
#include <cstddef>
#include <string>

#include "win/glyph_list.h"
#include "win/identifiers.h"
#include "win/wide_text.h"

namespace {

// TOOLINFOW without the trailing reserved field, which tooltips before common
// controls 6 refuse.
const UINT kToolInfoSize = offsetof(TOOLINFOW, lpReserved);
static_assert(sizeof(void*) != 4 || offsetof(TOOLINFOW, lpReserved) == 44, "the 32-bit structure");

const int kButtonSide = 27;
const int kGlyphSide = 22;
const int kToolCount = 9;
const int kEffectCount = 6;

struct ButtonName
{
    int command;
    char text[32];
};

const ButtonName kButtonNames[15] = {
    {IDM_PENCIL, "Crayon"},
    {IDM_FILL, "Pot de peinture"},
    {IDM_PICKER, "Pipette"},
    {IDM_ERASER, "Gomme"},
    {IDM_LINE, "Ligne"},
    {IDM_RECTANGLE, "Rectangle"},
    {IDM_ELLIPSE, "Ellipse"},
    {IDM_HOTSPOT, "Point curseur"},
    {IDM_SELECT, "Sélection"},
    {IDM_SHIFT_LEFT, "Décaler vers la gauche"},
    {IDM_SHIFT_UP, "Décaler vers le haut"},
    {IDM_SHIFT_RIGHT, "Décaler vers la droite"},
    {IDM_MIRROR_VERTICAL, "Miroir vertical"},
    {IDM_SHIFT_DOWN, "Décaler vers le bas"},
    {IDM_MIRROR_HORIZONTAL, "Miroir horizontal"},
};

// A grid of three columns on a 27-pixel pitch.
void CreateButtonGrid(HINSTANCE instance, HWND mainWindow, int count, int top, int firstCommand)
{
    for (int i = 0; i < count; ++i) {
        const int x = 17 + kButtonSide * (i % 3);
        const int y = top + kButtonSide * (i / 3);
        CreateWindowExA(0, "QzButtonCtrlClass32", "", WS_CHILD | WS_VISIBLE, x, y, kButtonSide, kButtonSide,
                        mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstCommand + i)),
                        instance, nullptr);
    }
}

// The buttons keep their own copies of the icons.
bool GiveGlyphs(HINSTANCE instance, HWND mainWindow, int bitmapId, int count, int firstCommand)
{
    const OwnedImageList list = LoadGlyphList(instance, bitmapId, kGlyphSide, ILC_COLOR4, count);
    if (!list.Ok())
        return false;
    for (int i = 0; i < count; ++i) {
        const OwnedIcon icon(ImageList_GetIcon(list, i, ILD_NORMAL));
        if (icon.Ok())
            SendDlgItemMessageA(mainWindow, firstCommand + i, BM_SETIMAGE, IMAGE_ICON,
                                reinterpret_cast<LPARAM>(icon.Get()));
    }
    return true;
}

void AddTooltips(HINSTANCE instance, HWND mainWindow)
{
    HWND tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, mainWindow, nullptr, instance, nullptr);
    if (!tips)
        return;
    for (const ButtonName& name : kButtonNames) {
        // Wide, so that the texts read the same whatever the system's code page.
        std::wstring text = WideText(name.text);
        TOOLINFOW tool = {};
        tool.cbSize = kToolInfoSize;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = mainWindow;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(mainWindow, name.command));
        tool.lpszText = &text[0];
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

bool SetUpToolButtons(HINSTANCE instance, HWND mainWindow)
{
    CreateButtonGrid(instance, mainWindow, kEffectCount, 275, IDM_SHIFT_LEFT);
    if (!GiveGlyphs(instance, mainWindow, IDB_EFFECT_GLYPHS, kEffectCount, IDM_SHIFT_LEFT))
        return false;
    CreateButtonGrid(instance, mainWindow, kToolCount, 145, IDM_PENCIL);
    if (!GiveGlyphs(instance, mainWindow, IDB_TOOL_GLYPHS, kToolCount, IDM_PENCIL))
        return false;
    // The canvas starts with the pencil.
    SendDlgItemMessageA(mainWindow, IDM_PENCIL, BM_SETSTATE, TRUE, 0);
    AddTooltips(instance, mainWindow);
    return true;
}

const char* ToolButtonTooltip(int command)
{
    for (const ButtonName& name : kButtonNames)
        if (name.command == command)
            return name.text;
    return nullptr;
}

void PressToolButton(HWND mainWindow, int command)
{
    for (int id = IDM_PENCIL; id <= IDM_SELECT; ++id)
        SendDlgItemMessageA(mainWindow, id, BM_SETSTATE, FALSE, 0);
    SendDlgItemMessageA(mainWindow, command, BM_SETSTATE, TRUE, 0);
}
