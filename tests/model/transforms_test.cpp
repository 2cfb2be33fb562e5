#include <climits>

#include "failing_allocations.h"
#include "model_support.h"

namespace {

bool Inside(long long x, long long y, const RECT& r)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace

TEST(Shift, MovesEveryStoredValueWithinTheClippedBlock)
{
    // The right colour is the background of the uncovered strip: an index, or the
    // transparent index (-1 here). A block may reach past the image (a frame made
    // on a larger image) and a step may be of any size: nothing is read or written
    // beyond the bitmaps.
    struct Case { int bits; RECT block; int dx, dy, right; };
    const RECT whole = { 0, 0, 16, 16 };
    std::vector<Case> cases;
    for (int bits : kBitCounts)
        for (POINT d : { Pt(1, 0), Pt(-1, 0), Pt(0, 1), Pt(0, -1) })
            cases.push_back(Case{ bits, whole, int(d.x), int(d.y), bits == 1 ? 0 : 4 });
    for (int bits : { 4, 8, 32 })
        cases.push_back(Case{ bits, RECT{ 4, 4, 8, 8 }, -1, 0, 0 });
    cases.push_back(Case{ 8, RECT{ 8, -4, 40, 40 }, -1, 0, 0 });
    cases.push_back(Case{ 4, whole, 0, 1, -1 });
    cases.push_back(Case{ 24, RECT{ 2, 2, 9, 9 }, 0, 1, -1 });
    cases.push_back(Case{ 32, whole, INT_MAX, INT_MIN, 2 });
    for (const Case& c : cases) {
        BlankImage image(16, c.bits);
        Pattern(image);
        image.Colours().SetRightIndex(c.right == -1 ? image.GetPaletteCount() : c.right);
        const COLORREF background = image.Colours().GetRightColour();
        const std::vector<long long> before = Snapshot(image);
        RECT area = c.block;
        IntersectRect(&area, &area, &whole);
        EXPECT_EQ(TransformOutcome::Done, Shift(image, EqualRect(&c.block, &whole) ? nullptr : &c.block, c.dx, c.dy));
        EXPECT_EQ("", Failing(image, [&](int x, int y) {
            const long long sx = (long long)x - c.dx, sy = (long long)y - c.dy;
            if (Inside(sx, sy, area))
                return At(image, x, y) == before[sy * 16 + sx];
            if (!Inside(x, y, area))
                return At(image, x, y) == before[y * 16 + x];
            if (background == TransparentColour)
                return image.IsTransparent(x, y) && image.GetPixelColour(x, y) == kBlack;
            return Seen(image, x, y) == background;
        })) << c.bits << " bits, block from " << c.block.left << "," << c.block.top
            << " by " << c.dx << "," << c.dy;
    }
}

TEST(Mirror, SwapsStoredValuesWithinTheBlock)
{
    // A pair whose partner lies outside the image (a frame made on a larger image)
    // is left alone; a block of odd height keeps its middle row.
    struct Case { int bits; RECT block; bool vertical; int result; };
    const RECT whole = { 0, 0, 16, 16 };
    std::vector<Case> cases;
    for (int bits : kBitCounts)
        for (bool vertical : { true, false })
            cases.push_back(Case{ bits, whole, vertical, 1 });
    cases.push_back(Case{ 8, RECT{ 2, 3, 7, 8 }, true, 1 });
    cases.push_back(Case{ 4, RECT{ 1, 0, 6, 16 }, false, 1 });
    cases.push_back(Case{ 8, RECT{ 20, 0, 40, 16 }, false, 0 });
    cases.push_back(Case{ 8, RECT{ 10, 0, 30, 16 }, false, 0 });
    for (const Case& c : cases) {
        BlankImage image(16, c.bits);
        Pattern(image);
        const std::vector<long long> before = Snapshot(image);
        const RECT& b = c.block;
        const RECT* block = EqualRect(&b, &whole) ? nullptr : &b;
        EXPECT_EQ(c.result ? TransformOutcome::Done : TransformOutcome::NothingChanged,
                  Mirror(image, block, c.vertical));
        EXPECT_EQ("", Failing(image, [&](int x, int y) {
            const long long px = c.vertical ? x : (long long)b.left + b.right - 1 - x;
            const long long py = c.vertical ? (long long)b.top + b.bottom - 1 - y : y;
            const bool swapped = Inside(x, y, b) && Inside(px, py, whole);
            return At(image, x, y) == (swapped ? before[py * 16 + px] : before[y * 16 + x]);
        })) << c.bits << " bits, block from " << b.left << "," << b.top << " vertical " << c.vertical;
        Mirror(image, block, c.vertical);
        EXPECT_EQ(before, Snapshot(image)) << c.bits << " mirrored twice";
    }
}

TEST(Clear, ImageAndRectangle)
{
    struct Case { int bits; COLORREF right; };
    // Transparent, and a colour picked from a 24-bit image that its palette lacks.
    for (const Case& c : { Case{8, TransparentColour}, Case{24, RGB(1, 2, 3)} }) {
        BlankImage image(16, c.bits);
        Pattern(image);
        image.Colours().SetRightColour(c.right);
        EXPECT_EQ(TransformOutcome::Done, ClearImage(image));
        EXPECT_EQ(256, CountColour(image, c.right)) << c.bits;
        const COLORREF beneath = c.right == TransparentColour ? kBlack : c.right;
        EXPECT_EQ("", Failing(image, [&](int x, int y) { return image.GetPixelColour(x, y) == beneath; }));
    }
    // A rectangle is cut at the border; one wholly outside changes nothing.
    BlankImage image(16, 4);
    image.Colours().SetRightIndex(9);
    EXPECT_EQ(TransformOutcome::Done, ClearRect(image, RECT{ 14, 14, 30, 30 }));
    EXPECT_EQ(4, CountColour(image, image.GetPaletteColour(9)));
    EXPECT_EQ(9, image.GetPixelIndex(14, 15));
    EXPECT_EQ(TransformOutcome::NothingChanged, ClearRect(image, RECT{ 20, 20, 30, 30 }));
}

// The shift's copy of its block is its one large allocation: without it the
// shift is refused and the image keeps every pixel.
TEST(Shift, RefusedWholeWhenItsBlockFindsNoMemory)
{
    BlankImage image(128, 32);
    Pattern(image);
    const std::vector<long long> before = Snapshot(image);
    {
        // Under the block (8 bytes a pixel, 128 KB).
        FailingAllocations failing(100 * 1024);
        EXPECT_EQ(TransformOutcome::NoMemory, Shift(image, nullptr, 1, 0));
    }
    EXPECT_EQ(before, Snapshot(image));
}
