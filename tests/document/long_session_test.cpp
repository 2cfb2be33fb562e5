#include <algorithm>

#include "document_test_support.h"
#include "model/history_budget.h"

using namespace doctest;

namespace {

const COLORREF kLastStroke = RGB(1, 2, 3);          // no earlier stroke has this colour

// One stroke as the canvas draws it: a copy before the first change, the press's
// pixel, two drag segments, the copy committed as the undo step.
bool Stroke(IconImage& image, POINT from, POINT to, COLORREF colour)
{
    std::unique_ptr<ImageState> before = image.CopyCurrentState();
    if (!before)
        return false;
    const POINT middle = { (from.x + to.x) / 2, (from.y + to.y) / 2 };
    const bool drawn = PaintPixel(image, from.x, from.y, -1, colour) &&
                       DrawStrokeSegment(image, from, middle, -1, colour) &&
                       DrawStrokeSegment(image, middle, to, -1, colour);
    return image.CommitState(std::move(before)) == 1 && drawn;
}

long CountColour(const IconImage& image, COLORREF colour)
{
    const std::vector<COLORREF> look = Look(image);
    return long(std::count(look.begin(), look.end(), colour));
}

} // namespace

// Every undo step used to hold two DIB sections: under Wine this session ran out
// of room at stroke 11,644, where the copy before the stroke could not be made.
TEST(LongSession, TwentyThousandStrokesLeaveDrawingAndSavingWorking)
{
    IconDocument document;
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(128, 32));
    IconImage& image = *document.GetCurrentImage();
    for (int i = 0; i < 20000; ++i) {
        const POINT from = { (i * 7) % 128, (i * 13) % 128 };
        const POINT to = { (i * 29 + 40) % 128, (i * 11 + 25) % 128 };
        ASSERT_TRUE(Stroke(image, from, to, RGB(i & 0xFF, (i >> 8) & 0xFF, 0x40))) << "stroke " << i;
    }
    // The history fills its room, about a thousand steps, and stays within it.
    const size_t held = image.History().GetBudget()->GetHeldBytes();
    const size_t limit = HistoryBudget::kDefaultLimit;
    EXPECT_LE(held, limit);
    EXPECT_GT(held, limit / 100 * 99);

    ASSERT_TRUE(Stroke(image, POINT{ 0, 64 }, POINT{ 127, 64 }, kLastStroke));
    EXPECT_EQ(128, CountColour(image, kLastStroke));
    ASSERT_EQ(EditOutcome::Done, document.Undo());
    EXPECT_EQ(0, CountColour(image, kLastStroke));
    ASSERT_EQ(EditOutcome::Done, document.Redo());

    const std::string path = OutputFolder("long-session") + "\\session.ico";
    DeleteFileA(path.c_str());
    ASSERT_EQ(SaveFailure::None, document.WriteIconFile(W(path).c_str()));
    const std::vector<BYTE> file = ReadWholeFile(path);
    const DWORD resource = 40 + 128 * 128 * 4 + 128 * 16;
    ASSERT_EQ(22 + resource, file.size());
    EXPECT_EQ(0, Word(file, 0));
    EXPECT_EQ(1, Word(file, 2));
    EXPECT_EQ(1, Word(file, 4));
    EXPECT_EQ(128, file[6]);
    EXPECT_EQ(128, file[7]);
    EXPECT_EQ(resource, Get(file, 14, 4));
    EXPECT_EQ(22u, Get(file, 18, 4));
    // The record's header: 128 wide, twice as high (colour and mask), 32 bits.
    EXPECT_EQ(40u, Get(file, 22, 4));
    EXPECT_EQ(128u, Get(file, 26, 4));
    EXPECT_EQ(256u, Get(file, 30, 4));
    EXPECT_EQ(32, Word(file, 36));
    IconDocument reopened;
    ASSERT_EQ(OpenFailureNone, reopened.OpenFile(W(path).c_str()));
    EXPECT_EQ(Look(image), Look(*reopened.GetCurrentImage()));
    DeleteFileA(path.c_str());
}

// Opened, added, imported and deleted images all count against their document's budget.
TEST(LongSession, EveryImageOfADocumentSharesItsHistoryBudget)
{
    const std::string folder = OutputFolder("long-session");
    const std::string icon = folder + "\\two.ico", bitmap = folder + "\\picture.bmp";
    IconDocument written;
    ASSERT_EQ(EditOutcome::Done, written.AddNewImage(32, 4));
    ASSERT_EQ(EditOutcome::Done, written.AddNewImage(16, 8));
    ASSERT_EQ(SaveFailure::None, written.WriteIconFile(W(icon).c_str()));
    ASSERT_TRUE(WriteWholeFile(bitmap, MakeBmp(BmpLayout{ 16, 16, 24 })));

    IconDocument document;
    ASSERT_EQ(OpenFailureNone, document.OpenFile(W(icon).c_str()));
    ASSERT_EQ(EditOutcome::Done, document.AddNewImage(48, 8));
    ASSERT_EQ(ImportFailureNone, document.ImportBitmap(W(bitmap).c_str(), 0));
    const HistoryBudget* budget = document.GetCurrentImage()->History().GetBudget();
    ASSERT_NE(nullptr, budget);
    EXPECT_NE(written.GetCurrentImage()->History().GetBudget(), budget);
    size_t held = 0;
    for (int i = 0; document.SelectImage(i) == EditOutcome::Done; ++i) {
        IconImage& image = *document.GetCurrentImage();
        EXPECT_EQ(budget, image.History().GetBudget()) << "image " << i;
        std::unique_ptr<ImageState> before = image.CopyCurrentState();
        ASSERT_EQ(1, image.SetPixelIndex(0, 0, 1));
        ASSERT_EQ(1, image.CommitState(std::move(before)));
        held += image.History().GetHeldBytes();
    }
    IconImage* deleted = document.GetCurrentImage();
    ASSERT_EQ(EditOutcome::Done, document.DeleteCurrentImage());
    EXPECT_EQ(budget, deleted->History().GetBudget());
    EXPECT_EQ(held, budget->GetHeldBytes());
    DeleteFileA(icon.c_str());
    DeleteFileA(bitmap.c_str());
}
