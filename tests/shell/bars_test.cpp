#include "editor_fixture.h"

#include <commctrl.h>

#include "document/icon_document.h"
#include "shell/editor_objects.h"
#include "views/edit_view.h"
#include "views/palette_view.h"
#include "win/gdi_guards.h"
#include "win/identifiers.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kCheckGrey = RGB(0xC0, 0xC0, 0xC0);
const COLORREF kWhite = RGB(255, 255, 255);

struct TooltipSearch
{
    HWND owner;
    HWND button;
    HWND found;
};

BOOL CALLBACK FindTooltipOf(HWND window, LPARAM param)
{
    TooltipSearch* search = reinterpret_cast<TooltipSearch*>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = search->owner;
    tool.uId = reinterpret_cast<UINT_PTR>(search->button);
    if (SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string TooltipText(HWND tips, HWND owner, UINT_PTR id)
{
    char text[128] = "";
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = id;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

}  // namespace

class BarsTest : public EditorTest
{
protected:
    // The swatch as it draws itself, 54 x 40.
    std::vector<COLORREF> SwatchPixels()
    {
        WindowDC screen(nullptr);
        MemoryDC memory(screen);
        OwnedBitmap picture(CreateCompatibleBitmap(screen, 54, 40));
        SelectGuard keep(memory, picture);
        RECT all = {0, 0, 54, 40};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_STATIC;
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = Shell().swatch;
        item.hDC = memory;
        item.rcItem = all;
        SendMessageA(main_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 54; ++x)
                pixels.push_back(GetPixel(memory, x, y));
        return pixels;
    }
    static COLORREF At(const std::vector<COLORREF>& pixels, int x, int y) { return pixels[y * 54 + x]; }
};

TEST_F(BarsTest, ToolAndEffectButtonsHaveTheirTooltips)
{
    struct Case { int command; const char* text; };
    const Case cases[] = {
        {40020, "Crayon"}, {40021, "Pot de peinture"}, {40022, "Pipette"}, {40023, "Gomme"}, {40024, "Ligne"},
        {40025, "Rectangle"}, {40026, "Ellipse"}, {40027, "Point curseur"}, {40028, "Sélection"},
        {40040, "Décaler vers la gauche"}, {40041, "Décaler vers le haut"}, {40042, "Décaler vers la droite"},
        {40043, "Miroir vertical"}, {40044, "Décaler vers le bas"}, {40045, "Miroir horizontal"},
    };
    for (const Case& c : cases) {
        HWND button = GetDlgItem(main_, c.command);
        TooltipSearch search = {main_, button, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindTooltipOf, reinterpret_cast<LPARAM>(&search));
        ASSERT_NE(nullptr, search.found) << c.command;
        EXPECT_EQ(c.text, TooltipText(search.found, main_, reinterpret_cast<UINT_PTR>(button))) << c.command;
    }
}

TEST_F(BarsTest, ToolbarButtonsAskTheMainWindowForTheirTooltips)
{
    struct Case { int command; const char* text; };
    const Case cases[] = {
        {40001, "Créer une nouvelle icône"}, {40002, "Ouvrir un fichier icône"}, {40003, "Enregistrer le fichier"},
        {40010, "Annuler la dernière modification"}, {40011, "Refaire l'annulation"}, {40012, "Couper"},
        {40013, "Copier"}, {40014, "Coller"},
    };
    HWND tips = reinterpret_cast<HWND>(SendMessageA(Shell().toolbar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(nullptr, tips);
    for (const Case& c : cases)
        EXPECT_EQ(c.text, TooltipText(tips, Shell().toolbar, c.command)) << c.command;

    // Any other identifier keeps the text it came with.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = tips;
    info.hdr.code = TTN_NEEDTEXTA;
    info.hinst = GetModuleHandleA(nullptr);
    lstrcpyA(info.szText, "inchangé");
    info.lpszText = info.szText;
    SendMessageA(main_, WM_NOTIFY, CmdClose, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("inchangé", info.lpszText);
    EXPECT_EQ(nullptr, info.hinst);
}

TEST_F(BarsTest, ColourStatusAndSwatchShowBothColours)
{
    std::vector<COLORREF> pixels = SwatchPixels();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), At(pixels, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), At(pixels, 53, 39));

    NewDocument(0, 3);
    ChooseColour(kRed, true);
    ChooseColour(TransparentColour, false);
    EXPECT_EQ(" 255 - 0 - 0", StatusText(1));
    EXPECT_EQ("Transparent", StatusText(2));
    EXPECT_EQ("", StatusText(4));

    pixels = SwatchPixels();
    // Left colour in front over (0, 0)-(36, 27).
    EXPECT_EQ(kRed, At(pixels, 0, 0));
    EXPECT_EQ(kRed, At(pixels, 35, 26));
    // Right colour behind over (18, 13)-(54, 40): the grey and white check, in
    // 9-pixel squares aligned on the context's origin.
    for (int y = 27; y < 40; ++y)
        for (int x = 18; x < 54; ++x) {
            if (x < 36 && y < 27)
                continue;
            const bool white = ((x / 9) + (y / 9)) % 2 == 0;
            EXPECT_EQ(white ? kWhite : kCheckGrey, At(pixels, x, y)) << x << ", " << y;
        }
    EXPECT_EQ(0u, At(pixels, 10, 30) & 0xFFFFFF);  // below the left colour, outside both: untouched

    ChooseColour(RGB(0, 0, 255), false);
    EXPECT_EQ(" 0 - 0 - 255", StatusText(2));
    pixels = SwatchPixels();
    EXPECT_EQ(RGB(0, 0, 255), At(pixels, 53, 39));
    EXPECT_EQ(kRed, At(pixels, 20, 15));
}

TEST_F(BarsTest, HotspotAndPickedColoursReachTheBars)
{
    NewDocument(0, 3);
    ChooseColour(kRed, true);
    Click(PixelCentre(6, 6).x, PixelCentre(6, 6).y);
    ChooseColour(RGB(0, 0, 0), true);
    ASSERT_EQ(" 0 - 0 - 0", StatusText(1));
    Command(CmdToolFirst + ToolPicker);
    Click(PixelCentre(6, 6).x, PixelCentre(6, 6).y);
    EXPECT_EQ(" 255 - 0 - 0", StatusText(1));

    Command(CmdToolFirst + ToolHotspot);
    Click(PixelCentre(2, 13).x, PixelCentre(2, 13).y);
    EXPECT_EQ("2 - 13", HotspotText());
    Command(CmdToolFirst + ToolPencil);
}

TEST_F(BarsTest, EditedPaletteEntryReachesTheStatusBarAndCanvas)
{
    // On an 8-bit image the pixels keep the entry, so they change with it.
    NewDocument(0, 2);
    IconImage* image = TheDocument().GetCurrentImage();
    ASSERT_NE(nullptr, image);
    const int entry = 20;
    ASSERT_NE(entry, image->GetTransparentIndex());
    const COLORREF chosen = RGB(10, 20, 30);
    ASSERT_NE(chosen, image->GetPaletteColour(entry));
    // Paint the whole image with the entry, then give the entry a new colour.
    image->SetLeftIndex(entry);
    Command(CmdToolFirst + ToolFill);
    Click(100, 100);
    Command(CmdToolFirst + ToolPencil);

    DialogScript script;
    script.Then([chosen](HWND dialog) {
        // The colour dialog's red, green and blue boxes.
        HWND red = GetDlgItem(dialog, 706);
        if (!red || !IsWindowVisible(red))
            return false;
        SetDlgItemInt(dialog, 706, GetRValue(chosen), FALSE);
        SetDlgItemInt(dialog, 707, GetGValue(chosen), FALSE);
        SetDlgItemInt(dialog, 708, GetBValue(chosen), FALSE);
        return Press(IDOK)(dialog);
    });
    const LPARAM at = MAKELPARAM(10 * (entry % 16) + 5, 10 * (entry / 16) + 5);
    HWND palette = ThePalette().GetPaletteWindow();
    SendMessageA(palette, WM_LBUTTONUP, 0, at);
    SendMessageA(palette, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PumpMessages();
    ASSERT_TRUE(script.Finished());
    ASSERT_EQ(chosen, image->GetPaletteColour(entry));
    EXPECT_EQ(" 10 - 20 - 30", StatusText(1));
    EXPECT_EQ(chosen, CanvasPixel(128, 128));
}
