#include "editor_fixture.h"

#include "views/palette_view.h"

namespace {

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

TEST_F(EditorTest, ButtonsHaveTheirTooltips)
{
    HWND toolbarTips = reinterpret_cast<HWND>(SendMessageA(editor_->shell.toolbar, TB_GETTOOLTIPS, 0, 0));
    struct Case { int command; const char* text; };
    for (const Case& c : {Case{40001, "Créer une nouvelle icône"}, Case{40002, "Ouvrir un fichier icône"},
                          Case{40003, "Enregistrer le fichier"}, Case{40010, "Annuler la dernière modification"},
                          Case{40011, "Refaire l'annulation"}, Case{40012, "Couper"}, Case{40013, "Copier"},
                          Case{40014, "Coller"}, Case{40020, "Crayon"}, Case{40021, "Pot de peinture"},
                          Case{40022, "Pipette"}, Case{40023, "Gomme"}, Case{40024, "Ligne"},
                          Case{40025, "Rectangle"}, Case{40026, "Ellipse"}, Case{40027, "Point curseur"},
                          Case{40028, "Sélection"}, Case{40040, "Décaler vers la gauche"},
                          Case{40041, "Décaler vers le haut"}, Case{40042, "Décaler vers la droite"},
                          Case{40043, "Miroir vertical"}, Case{40044, "Décaler vers le bas"},
                          Case{40045, "Miroir horizontal"}}) {
        // The toolbar asks the main window for its texts; each tool and effect
        // button is a tool, by its window, of a tooltip window of the main window.
        std::string shown = TooltipText(toolbarTips, editor_->shell.toolbar, c.command);
        HWND button = GetDlgItem(main_, c.command), tips = nullptr;
        while (button && shown.empty() && (tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr)))
            shown = TooltipText(tips, main_, reinterpret_cast<UINT_PTR>(button));
        EXPECT_EQ(c.text, shown) << c.command;
    }
}

TEST_F(EditorTest, ColourStatusAndSwatchShowBothColours)
{
    // The swatch as it draws itself, 54 x 40, over black.
    auto swatch = [this]() {
        return Picture(54, 40, RGB(0, 0, 0), [this](HDC dc) {
            DRAWITEMSTRUCT item = {ODT_STATIC, 0, 0, ODA_DRAWENTIRE, 0, editor_->shell.swatch, dc, {0, 0, 54, 40}, 0};
            SendMessageA(main_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
        });
    };
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), swatch().At(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), swatch().At(53, 39));
    NewDocument(k16, kBits24);
    ChooseColour(kRed, true);
    ChooseColour(TransparentColour, false);
    EXPECT_EQ(" 255 - 0 - 0", StatusText(1));
    EXPECT_EQ("Transparent", StatusText(2));
    Picture both = swatch();
    // Left colour in front over (0, 0)-(36, 27).
    EXPECT_EQ(kRed, both.At(0, 0));
    EXPECT_EQ(kRed, both.At(35, 26));
    // Right colour behind over (18, 13)-(54, 40): the grey and white check, in
    // 9-pixel squares aligned on the context's origin.
    for (int y = 27; y < 40; ++y)
        for (int x = 18; x < 54; ++x)
            EXPECT_EQ(((x / 9) + (y / 9)) % 2 == 0 ? kWhite : RGB(0xC0, 0xC0, 0xC0), both.At(x, y)) << x << ", " << y;
    EXPECT_EQ(0u, both.At(10, 30) & 0xFFFFFF);  // below the left colour, outside both: untouched

    ChooseColour(RGB(0, 0, 255), false);
    EXPECT_EQ(" 0 - 0 - 255", StatusText(2));
    both = swatch();
    EXPECT_EQ(RGB(0, 0, 255), both.At(53, 39));
    EXPECT_EQ(kRed, both.At(20, 15));
}

TEST_F(EditorTest, EditedPaletteEntryReachesTheStatusBarAndCanvas)
{
    // On an 8-bit image the pixels keep the entry, so they change with it.
    NewDocument(k16, kBits8);
    IconImage* image = Document().GetCurrentImage();
    const int entry = 20;
    const COLORREF chosen = RGB(10, 20, 30);
    ASSERT_NE(entry, image->GetTransparentIndex());
    ASSERT_NE(chosen, image->GetPaletteColour(entry));
    image->Colours().SetLeftIndex(entry);
    Command(IDM_FILL);
    ClickPixel(8, 8);

    DialogScript script({[chosen](HWND dialog) {
        // The colour dialog's red, green and blue boxes.
        if (!GetDlgItem(dialog, 706) || !IsWindowVisible(GetDlgItem(dialog, 706)))
            return false;
        for (int i = 0; i < 3; ++i)
            SetDlgItemInt(dialog, 706 + i, (chosen >> (8 * i)) & 0xFF, FALSE);
        return Press(IDOK)(dialog);
    }});
    const LPARAM at = MAKELPARAM(10 * (entry % 16) + 5, 10 * (entry / 16) + 5);
    SendMessageA(editor_->palette.GetPaletteWindow(), WM_LBUTTONUP, 0, at);
    SendMessageA(editor_->palette.GetPaletteWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PumpMessages();
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(chosen, image->GetPaletteColour(entry));
    EXPECT_EQ(" 10 - 20 - 30", StatusText(1));
    EXPECT_EQ(chosen, ShownPixel(8, 8));
}
