#include "view_test_support.h"

#include <string>

using namespace viewtest;

namespace {

// The palette view of one document inside a test parent.
class Palette
{
public:
    Palette() { window = view.CreatePaletteView(parent); }
    IconImage& Image() { return *document.GetCurrentImage(); }
    Picture Show() { return Picture(window, 161, 185, RGB(255, 0, 255), PRF_CLIENT | PRF_ERASEBKGND); }
    void Click(int x, int y, bool left = true)
    {
        SendMessageA(window, left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // A double click as the system delivers it: the first release comes before it.
    void DoubleClick(int x, int y)
    {
        Click(x, y);
        SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    }

    IconDocument document;
    PaletteView view{ &document };
    TestParent parent;
    HWND window = nullptr;
};

// Answers the next modal dialogs of this thread as they become active: records
// their caption and texts, optionally types into edit boxes, presses a button.
class DialogAnswerer
{
public:
    struct Seen
    {
        std::string caption;
        std::string texts;  // every child's text, one per line
    };

    DialogAnswerer(int button, std::vector<std::pair<int, std::string>> edits = {})
    {
        button_ = button;
        edits_ = std::move(edits);
        seen_.clear();
        answered_ = nullptr;
        hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~DialogAnswerer() { UnhookWindowsHookEx(hook_); }
    const std::vector<Seen>& Dialogs() const { return seen_; }

private:
    static BOOL CALLBACK Collect(HWND child, LPARAM into)
    {
        char text[512] = {};
        GetWindowTextA(child, text, sizeof(text));
        *reinterpret_cast<std::string*>(into) += std::string(text) + "\n";
        return TRUE;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE) {
            HWND dialog = reinterpret_cast<HWND>(wParam);
            char className[64] = {};
            GetClassNameA(dialog, className, sizeof(className));
            if (std::string(className) == "#32770" && dialog != answered_) {
                answered_ = dialog;
                Seen seen;
                char caption[256] = {};
                GetWindowTextA(dialog, caption, sizeof(caption));
                seen.caption = caption;
                EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&seen.texts));
                seen_.push_back(seen);
                for (const auto& edit : edits_)
                    SetDlgItemTextA(dialog, edit.first, edit.second.c_str());
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, button_)));
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook_;
    static int button_;
    static std::vector<std::pair<int, std::string>> edits_;
    static std::vector<Seen> seen_;
    static HWND answered_;
};

int DialogAnswerer::button_ = IDOK;
std::vector<std::pair<int, std::string>> DialogAnswerer::edits_;
std::vector<DialogAnswerer::Seen> DialogAnswerer::seen_;
HWND DialogAnswerer::answered_ = nullptr;

const char* const kRefusal =
    " Cet index est utilisé pour la couleur transparente. \n Vous ne pouvez pas le modifier.";

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
        Palette p;
        EXPECT_EQ(-1, p.view.HitTest(k.x, k.y));
        ASSERT_TRUE(p.document.AddNewImage(16, k.bits));
        EXPECT_EQ(k.index, p.view.HitTest(k.x, k.y)) << k.bits << " bits at " << k.x << "," << k.y;
    }
}

TEST(PaletteView, ClicksChooseTheColourOfEachButton)
{
    Palette p;
    ASSERT_TRUE(p.document.AddNewImage(16, 4));
    IconImage& image = p.Image();
    p.Click(95, 5);  // entry 9
    EXPECT_EQ(9, image.GetLeftIndex());
    EXPECT_EQ(RGB(255, 0, 0), image.GetLeftColour());
    p.Click(115, 170, false);
    EXPECT_EQ(16, image.GetRightIndex());
    EXPECT_EQ(TransparentColour, image.GetRightColour());
    EXPECT_EQ(9, image.GetLeftIndex());
    Pump();
    EXPECT_EQ(2, Count(WM_COLOURS_CHANGED));
    p.Click(5, 15);  // below a one-row palette: nothing
    p.Click(160, 5);
    Pump();
    EXPECT_EQ(2, Count(WM_COLOURS_CHANGED));
    EXPECT_EQ(9, image.GetLeftIndex());
}

TEST(PaletteView, PaintsCellsFrameCaptionAndTransparentCell)
{
    Palette p;
    Picture empty = p.Show();
    EXPECT_EQ(Face(), empty.At(5, 5));
    EXPECT_EQ(Face(), empty.At(115, 170));

    ASSERT_TRUE(p.document.AddNewImage(32, 4));
    p.Image().SetLeftIndex(12);
    Picture shown = p.Show();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p.Image().GetPaletteColour(i), shown.At(10 * i + 5, 5)) << i;
    EXPECT_EQ(Face(), shown.At(10 * 3 + 5, 15));        // no second row
    EXPECT_EQ(Face(), shown.At(10, 5));                  // gap between cells
    EXPECT_EQ(RGB(0, 0, 0), shown.At(120, 0));           // frame of the left colour, entry 12
    EXPECT_EQ(RGB(0, 0, 0), shown.At(130, 10));
    EXPECT_EQ(Face(), shown.At(110, 0));
    EXPECT_EQ(RGB(255, 255, 255), shown.At(115, 170));   // transparent cell, no frame
    EXPECT_EQ(Face(), shown.At(109, 166));
    int text = 0;
    for (int y = 165; y < 185; ++y)
        for (int x = 0; x < 105; ++x)
            text += shown.At(x, y) != Face() ? 1 : 0;
    EXPECT_GT(text, 40) << "caption";

    p.Image().SetLeftIndex(16);
    Picture transparent = p.Show();
    EXPECT_EQ(RGB(0, 0, 0), transparent.At(109, 166));
    EXPECT_EQ(RGB(0, 0, 0), transparent.At(120, 177));
    EXPECT_EQ(Face(), transparent.At(120, 0));
}

TEST(PaletteView, TheTransparentIndexCannotBeEdited)
{
    Palette p;
    ASSERT_TRUE(p.document.AddNewImage(16, 8));
    p.Image().SetTransparent(0, 0, true);  // transparent index: the first black entry, 0
    const int t = p.Image().GetTransparentIndex();
    ASSERT_EQ(0, t);
    {
        DialogAnswerer answer(IDOK);
        p.DoubleClick(5, 5);
        ASSERT_EQ(1u, answer.Dialogs().size()) << "one information box, no colour dialog";
        EXPECT_EQ("Vemiro Editor 1.4", answer.Dialogs()[0].caption);
        EXPECT_NE(std::string::npos, answer.Dialogs()[0].texts.find(kRefusal)) << answer.Dialogs()[0].texts;
    }
    EXPECT_EQ(RGB(0, 0, 0), p.Image().GetPaletteColour(0));
    Pump();
    EXPECT_EQ(0, Count(WM_PALETTE_EDITED));

    // A 24-bit image has no transparent index to protect.
    Palette rgb;
    ASSERT_TRUE(rgb.document.AddNewImage(16, 24));
    rgb.Image().SetTransparent(0, 0, true);
    DialogAnswerer answer(IDCANCEL);
    rgb.DoubleClick(5, 5);
    ASSERT_EQ(1u, answer.Dialogs().size());
    EXPECT_EQ(std::string::npos, answer.Dialogs()[0].texts.find("transparente"));
}

TEST(PaletteView, EditingAnEntryThroughTheColourDialog)
{
    Palette p;
    ASSERT_TRUE(p.document.AddNewImage(16, 4));
    IconImage& image = p.Image();
    {
        DialogAnswerer cancel(IDCANCEL);
        p.DoubleClick(35, 5);  // entry 3
        ASSERT_EQ(1u, cancel.Dialogs().size());
    }
    {
        DialogAnswerer same(IDOK);  // the dialog opens on the entry's own colour
        p.DoubleClick(35, 5);
        ASSERT_EQ(1u, same.Dialogs().size());
    }
    Pump();
    EXPECT_EQ(0, Count(WM_PALETTE_EDITED));
    EXPECT_EQ(RGB(128, 128, 0), image.GetPaletteColour(3));
    EXPECT_EQ(3, image.GetLeftIndex());  // chosen by the first click of the double click

    // Red, green and blue boxes of the full colour dialog.
    DialogAnswerer change(IDOK, { { 706, "10" }, { 707, "20" }, { 708, "30" } });
    p.DoubleClick(45, 5);  // entry 4
    ASSERT_EQ(1u, change.Dialogs().size());
    EXPECT_EQ(RGB(10, 20, 30), image.GetPaletteColour(4));
    EXPECT_EQ(4, image.GetLeftIndex());
    Pump();
    EXPECT_EQ(1, Count(WM_PALETTE_EDITED));
}
