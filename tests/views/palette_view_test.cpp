#include "view_test_support.h"

using namespace viewtest;

namespace {

// The dialogs a double click opens are answered as they become active: their
// caption and texts are recorded, edit boxes filled, a button pressed.
struct Answer
{
    int button;
    std::vector<std::pair<int, const char*>> edits;
    std::vector<std::string> seen;  // caption, then every child's text, one per line
    HWND answered;
};
Answer* answer = nullptr;

BOOL CALLBACK Collect(HWND child, LPARAM into)
{
    char text[512] = {};
    GetWindowTextA(child, text, sizeof(text));
    *reinterpret_cast<std::string*>(into) += std::string(text) + "\n";
    return TRUE;
}

LRESULT CALLBACK AnswerHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND dialog = reinterpret_cast<HWND>(wParam);
    char text[256] = {};
    if (code == HCBT_ACTIVATE && answer && dialog != answer->answered &&
        GetClassNameA(dialog, text, sizeof(text)) && std::string(text) == "#32770") {
        answer->answered = dialog;
        GetWindowTextA(dialog, text, sizeof(text));
        std::string seen = std::string(text) + "\n";
        EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&seen));
        answer->seen.push_back(seen);
        for (const auto& edit : answer->edits)
            SetDlgItemTextA(dialog, edit.first, edit.second);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer->button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, answer->button)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A double click as the system delivers it (the first release comes before it);
// returns what the dialogs it opened showed.
std::vector<std::string> DoubleClick(Views& p, int x, int y, int button,
                                     std::vector<std::pair<int, const char*>> edits = {})
{
    Answer record{ button, edits, {}, nullptr };
    answer = &record;
    HHOOK hook = SetWindowsHookExA(WH_CBT, AnswerHook, nullptr, GetCurrentThreadId());
    Release(p.paletteWindow, x, y);
    SendMessageA(p.paletteWindow, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    UnhookWindowsHookEx(hook);
    answer = nullptr;
    return record.seen;
}

} // namespace

TEST(PaletteView, HitTestingCellsGapsAndTheTransparentCell)
{
    struct Case { int bits; int x, y; int index; };
    for (const Case& k : {
             Case{ 8, 9, 5, 0 }, Case{ 8, 10, 5, 1 }, Case{ 8, 0, 0, 0 }, Case{ 8, 5, 10, 16 },
             Case{ 8, 155, 155, 255 }, Case{ 8, 160, 5, -1 },   // right of the last column: no cell
             Case{ 8, 110, 167, 256 }, Case{ 8, 119, 176, 256 }, Case{ 8, 120, 176, -1 }, Case{ 8, 5, 163, -1 },
             Case{ 24, 115, 170, 256 }, Case{ 32, 55, 35, 53 },
             Case{ 4, 155, 5, 15 }, Case{ 4, 5, 15, -1 }, Case{ 4, 115, 170, 16 },
             Case{ 1, 15, 5, 1 }, Case{ 1, 25, 5, -1 }, Case{ 1, 5, 15, -1 }, Case{ 1, 115, 170, 2 } }) {
        Views p;
        EXPECT_EQ(-1, p.palette.HitTest(k.x, k.y)) << "no document";
        ASSERT_EQ(EditOutcome::Done, p.document.AddNewImage(16, k.bits));
        EXPECT_EQ(k.index, p.palette.HitTest(k.x, k.y)) << k.bits << " bits at " << k.x << "," << k.y;
    }
}

TEST(PaletteView, ClicksChooseTheColourOfEachButton)
{
    Views p;
    ASSERT_EQ(EditOutcome::Done, p.document.AddNewImage(16, 4));
    IconImage& image = p.Image();
    Release(p.paletteWindow, 95, 5);  // entry 9
    EXPECT_EQ(9, image.Colours().GetLeftIndex());
    EXPECT_EQ(kRed, image.Colours().GetLeftColour());
    Release(p.paletteWindow, 115, 170, false);
    EXPECT_EQ(16, image.Colours().GetRightIndex());
    EXPECT_EQ(TransparentColour, image.Colours().GetRightColour());
    EXPECT_EQ(9, image.Colours().GetLeftIndex());
    PumpMessages();
    EXPECT_EQ(2, p.Told(ChangeColours));
    Release(p.paletteWindow, 5, 15);  // below a one-row palette: nothing
    Release(p.paletteWindow, 160, 5);
    PumpMessages();
    EXPECT_EQ(2, p.Told(ChangeColours));
    EXPECT_EQ(9, image.Colours().GetLeftIndex());
}

TEST(PaletteView, PaintsCellsFrameCaptionAndTransparentCell)
{
    Views p;
    EXPECT_EQ(161 * 185, p.ShowPalette().Count(Face())) << "no document";

    ASSERT_EQ(EditOutcome::Done, p.document.AddNewImage(32, 4));
    p.Image().Colours().SetLeftIndex(12);
    Picture shown = p.ShowPalette();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p.Image().GetPaletteColour(i), shown.At(10 * i + 5, 5)) << i;
    struct Spot { int x, y; COLORREF colour; const char* what; };
    for (const Spot& s : { Spot{ 35, 15, Face(), "no second row" }, Spot{ 10, 5, Face(), "gap between cells" },
                           Spot{ 120, 0, 0, "frame of the left colour" }, Spot{ 130, 10, 0, "frame" },
                           Spot{ 110, 0, Face(), "no frame on entry 11" },
                           Spot{ 115, 170, kWhite, "transparent cell" }, Spot{ 109, 166, Face(), "no frame there" } })
        EXPECT_EQ(s.colour, shown.At(s.x, s.y)) << s.what;
    EXPECT_GT(105 * 20 - shown.Count(Face(), 0, 165, 105, 185), 40) << "caption";
    EXPECT_EQ(40 * 20, shown.Count(Face(), 121, 165, 161, 185)) << "the caption ends before the transparent cell";

    p.Image().Colours().SetLeftIndex(16);
    Picture transparent = p.ShowPalette();
    EXPECT_EQ(RGB(0, 0, 0), transparent.At(109, 166));
    EXPECT_EQ(RGB(0, 0, 0), transparent.At(120, 177));
    EXPECT_EQ(Face(), transparent.At(120, 0));
}

TEST(PaletteView, TheTransparentIndexCannotBeEdited)
{
    Views p;
    ASSERT_EQ(EditOutcome::Done, p.document.AddNewImage(16, 8));
    p.Image().SetTransparent(0, 0, true);  // transparent index: the first black entry, 0
    ASSERT_EQ(0, p.Image().GetTransparentIndex());
    std::vector<std::string> seen = DoubleClick(p, 5, 5, IDOK);
    ASSERT_EQ(1u, seen.size()) << "one information box, no colour dialog";
    EXPECT_EQ(0u, seen[0].find("Vemiro Editor 1.4\n")) << seen[0];
    EXPECT_NE(std::string::npos,
              seen[0].find(" Cet index est utilisé pour la couleur transparente. \n Vous ne pouvez pas le modifier."))
        << seen[0];
    EXPECT_EQ(RGB(0, 0, 0), p.Image().GetPaletteColour(0));
    PumpMessages();
    EXPECT_EQ(0, p.Told(ChangePalette));

    // A 24-bit image has no transparent index to protect.
    Views rgb;
    ASSERT_EQ(EditOutcome::Done, rgb.document.AddNewImage(16, 24));
    rgb.Image().SetTransparent(0, 0, true);
    seen = DoubleClick(rgb, 5, 5, IDCANCEL);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(std::string::npos, seen[0].find("transparente"));
}

TEST(PaletteView, EditingAnEntryThroughTheColourDialog)
{
    Views p;
    ASSERT_EQ(EditOutcome::Done, p.document.AddNewImage(16, 4));
    IconImage& image = p.Image();
    EXPECT_EQ(1u, DoubleClick(p, 35, 5, IDCANCEL).size());  // entry 3
    EXPECT_EQ(1u, DoubleClick(p, 35, 5, IDOK).size());      // the dialog opens on the entry's own colour
    PumpMessages();
    EXPECT_EQ(0, p.Told(ChangePalette));
    EXPECT_EQ(RGB(128, 128, 0), image.GetPaletteColour(3));
    EXPECT_EQ(3, image.Colours().GetLeftIndex());  // chosen by the first click of the double click

    // Red, green and blue boxes of the full colour dialog.
    EXPECT_EQ(1u, DoubleClick(p, 45, 5, IDOK, { { 706, "10" }, { 707, "20" }, { 708, "30" } }).size());
    EXPECT_EQ(RGB(10, 20, 30), image.GetPaletteColour(4));
    EXPECT_EQ(4, image.Colours().GetLeftIndex());
    PumpMessages();
    EXPECT_EQ(1, p.Told(ChangePalette));
}

// Sound behaviour: finding out whether an entry may be edited changes nothing,
// even where no entry is black yet and one would be turned black for transparency.
TEST(PaletteView, AskingWhetherAnEntryMayBeEditedLeavesThePaletteAlone)
{
    Views p;
    ASSERT_EQ(EditOutcome::Done, p.document.AddNewImage(16, 4));
    IconImage& image = p.Image();
    ASSERT_EQ(1, image.SetPaletteColour(0, kRed));  // no black entry, no transparent pixel
    std::vector<COLORREF> before;
    for (int i = 0; i < 16; ++i)
        before.push_back(image.GetPaletteColour(i));
    EXPECT_EQ(1u, DoubleClick(p, 35, 5, IDCANCEL).size());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], image.GetPaletteColour(i)) << "entry " << i;
    EXPECT_FALSE(p.document.IsModified());
}
