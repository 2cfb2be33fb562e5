#include "view_test_support.h"

using namespace viewtest;

// The shell makes the views again for every main window, with the same objects:
// each object follows the window it has now and forgets one that is gone.
TEST(ChildWindow, ViewsFollowTheirWindowFromCreationUntilItGoes)
{
    Views c;
    ASSERT_EQ(EditOutcome::Done, c.document.AddNewImage(16, 4));
    c.Image().SetPixelIndex(0, 0, kRedIndex);
    EXPECT_EQ(c.window, c.view.GetEditWindow());
    EXPECT_EQ(c.previewWindow, c.preview.GetPreviewWindow());
    EXPECT_EQ(c.paletteWindow, c.palette.GetPaletteWindow());

    DestroyWindow(c.parent);
    EXPECT_EQ(nullptr, c.view.GetEditWindow());
    EXPECT_EQ(nullptr, c.preview.GetPreviewWindow());
    EXPECT_EQ(nullptr, c.palette.GetPaletteWindow());
    c.preview.RefreshPreview();  // no window left to invalidate

    TestParent again;
    c.window = c.view.CreateEditView(again);
    c.previewWindow = c.preview.CreatePreview(again);
    ASSERT_NE(nullptr, c.window);
    EXPECT_EQ(c.window, c.view.GetEditWindow());
    EXPECT_EQ(kRed, c.Cell(c.Show(), 0, 0));
    EXPECT_EQ(kRed, c.ShowPreview().At(56, 56));
}
