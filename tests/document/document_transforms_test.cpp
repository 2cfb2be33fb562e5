#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "document/icon_document.h"
#include "win/identifiers.h"

namespace {

std::vector<COLORREF> Picture(const IconImage& image)
{
    std::vector<COLORREF> out;
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            out.push_back(image.IsTransparent(x, y) ? TransparentColour : image.GetPixelColour(x, y));
    return out;
}

void Stripes(IconImage& image)
{
    for (int y = 0; y < image.GetSize(); ++y)
        for (int x = 0; x < image.GetSize(); ++x)
            image.SetPixelIndex(x, y, (x + 3 * y) % 15);
}

int PendingDocumentStates(HWND window)
{
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_DOCUMENT_STATE, WM_DOCUMENT_STATE, PM_REMOVE))
        ++count;
    return count;
}

class DocumentTransforms : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        document_.SetOwnerWindow(owner_);
    }
    void TearDown() override
    {
        document_.CloseDocument();
        DestroyWindow(owner_);
    }
    void SelectPixels(int left, int top, int right, int bottom)
    {
        // Canvas units over 256 points: on a 16-pixel image one pixel is 16 units.
        const int unit = 256 / document_.GetCurrentImage()->GetSize();
        POINT p0 = { left * unit, top * unit }, p1 = { right * unit, bottom * unit };
        document_.SetSelection(&p0, &p1, 256);
    }
    HWND owner_ = nullptr;
    IconDocument document_;
};

}  // namespace

TEST_F(DocumentTransforms, NothingWithoutADocument)
{
    EXPECT_EQ(0, document_.ClearCurrentImage());
    EXPECT_EQ(0, document_.ShiftImage(1, 0));
    EXPECT_EQ(0, document_.MirrorImage(1));
    EXPECT_EQ(0, document_.IsModified());
}

TEST_F(DocumentTransforms, ClearIgnoresTheSelectionAndMarksTheDocument)
{
    ASSERT_EQ(1, document_.AddNewImage(16, 4));
    IconImage* image = document_.GetCurrentImage();
    Stripes(*image);
    image->SetRightIndex(16);
    SelectPixels(4, 4, 8, 8);
    PendingDocumentStates(owner_);
    EXPECT_EQ(1, document_.ClearCurrentImage());
    EXPECT_EQ(std::vector<COLORREF>(256, TransparentColour), Picture(*image));
    EXPECT_EQ(1, document_.IsModified());
    EXPECT_EQ(1, PendingDocumentStates(owner_));
    EXPECT_EQ(1, document_.Undo());
    EXPECT_FALSE(document_.CanUndo());
}

TEST_F(DocumentTransforms, ShiftFollowsTheSelectionWithoutMarkingTheDocument)
{
    ASSERT_EQ(1, document_.AddNewImage(16, 4));
    IconImage* image = document_.GetCurrentImage();
    Stripes(*image);
    image->SetRightIndex(12);
    const std::vector<COLORREF> start = Picture(*image);
    SelectPixels(4, 4, 8, 8);
    EXPECT_EQ(1, document_.ShiftImage(0, 1));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            COLORREF expected = start[y * 16 + x];
            if (x >= 4 && x < 8 && y == 4)
                expected = image->GetPaletteColour(12);
            else if (x >= 4 && x < 8 && y >= 5 && y <= 8)
                expected = start[(y - 1) * 16 + x];
            EXPECT_EQ(expected, Picture(*image)[y * 16 + x]) << x << "," << y;
        }
    EXPECT_EQ(0, document_.IsModified());
    EXPECT_EQ(0, document_.ShiftImage(2, 0));
    EXPECT_EQ(0, document_.ShiftImage(0, -5));
    EXPECT_EQ(1, document_.Undo());
    EXPECT_EQ(start, Picture(*image));

    // Without a selection the whole image moves.
    document_.SetSelection(nullptr, nullptr, 0);
    EXPECT_EQ(1, document_.ShiftImage(-1, 0));
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(start[y * 16 + 1], Picture(*image)[y * 16]) << y;
}

TEST_F(DocumentTransforms, MirrorIsNoUndoStepButMarksTheDocument)
{
    ASSERT_EQ(1, document_.AddNewImage(16, 8));
    IconImage* image = document_.GetCurrentImage();
    Stripes(*image);
    const std::vector<COLORREF> start = Picture(*image);
    SelectPixels(0, 0, 16, 5);                        // rows 0-4
    PendingDocumentStates(owner_);
    EXPECT_EQ(1, document_.MirrorImage(1));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(start[(y < 5 ? 4 - y : y) * 16 + x], Picture(*image)[y * 16 + x]) << x << "," << y;
    EXPECT_FALSE(document_.CanUndo());
    EXPECT_EQ(1, document_.IsModified());
    EXPECT_EQ(1, PendingDocumentStates(owner_));
    EXPECT_EQ(1, document_.MirrorImage(1));
    EXPECT_EQ(start, Picture(*image));
}
