#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "document/icon_document.h"
#include "document_test_support.h"
#include "win/identifiers.h"

using namespace doctest;

namespace {

// Images are told apart by their side: K 16, L 32, M 48, N 64, X 72.
char Letter(int size)
{
    switch (size) {
    case 16: return 'K';
    case 32: return 'L';
    case 48: return 'M';
    case 64: return 'N';
    case 72: return 'X';
    }
    return '?';
}

int SideOf(char letter)
{
    switch (letter) {
    case 'K': return 16;
    case 'L': return 32;
    case 'M': return 48;
    case 'N': return 64;
    case 'X': return 72;
    }
    return 0;
}

std::string Letters(IconDocument& document)
{
    std::string letters;
    int current = document.GetCurrentIndex();
    for (int i = 0; i < document.GetImageCount(); ++i) {
        document.SelectImage(i);
        letters += Letter(document.GetCurrentImage()->GetSize());
    }
    document.SelectImage(current);
    return letters;
}

void Build(IconDocument& document, const char* letters)
{
    document.CloseDocument();
    for (const char* c = letters; *c; ++c)
        ASSERT_EQ(1, document.AddNewImage(SideOf(*c), 4));
}

// A hidden window that collects what the document posts to its owner.
class Owner
{
public:
    Owner() { window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr); }
    ~Owner() { DestroyWindow(window_); }
    HWND Get() const { return window_; }
    int TakeDocumentStates()
    {
        MSG msg;
        int count = 0;
        while (PeekMessageA(&msg, window_, WM_DOCUMENT_STATE, WM_DOCUMENT_STATE, PM_REMOVE)) {
            EXPECT_EQ(0u, msg.wParam);
            EXPECT_EQ(0, msg.lParam);
            ++count;
        }
        return count;
    }
private:
    HWND window_;
};

} // namespace

TEST(IconDocument, DeleteAndRestoreOrders)
{
    // op: d = select arg then delete, r = restore, a = add an image of side arg.
    struct Step { char op; int arg; int result; const char* after; int current; };
    struct Case { const char* start; std::vector<Step> steps; bool deletedLeft; };
    const Case cases[] = {
        {"KLM", {{'d', 0, 1, "LM", 0}}, true},
        {"KLM", {{'d', 2, 1, "KL", 1}}, true},
        {"KLM", {{'d', 1, 1, "KM", 0}, {'d', 0, 1, "M", 0}, {'r', 0, 1, "KM", 0}, {'r', 0, 1, "KLM", 1}}, false},
        {"KLMN", {{'d', 3, 1, "KLM", 2}, {'d', 1, 1, "KM", 0}, {'d', 1, 1, "K", 0},
                  {'r', 0, 1, "KM", 1}, {'r', 0, 1, "KLM", 1}, {'r', 0, 1, "KLMN", 3}}, false},
        {"KLM", {{'d', 1, 1, "KM", 0}, {'a', 72, 1, "KMX", 2}, {'r', 0, 1, "KLMX", 1}}, false},
        {"K", {{'d', 0, 0, "K", 0}, {'r', 0, 0, "K", 0}}, false},
    };
    for (const Case& c : cases) {
        IconDocument document;
        Build(document, c.start);
        std::string trace = c.start;
        for (const Step& s : c.steps) {
            trace += std::string(" ") + s.op + std::to_string(s.arg);
            int result = 0;
            if (s.op == 'd') {
                document.SelectImage(s.arg);
                result = document.DeleteCurrentImage();
            } else if (s.op == 'r') {
                result = document.RestoreDeletedImage();
            } else {
                result = document.AddNewImage(s.arg, 4);
            }
            EXPECT_EQ(s.result, result) << trace;
            EXPECT_EQ(s.after, Letters(document)) << trace;
            EXPECT_EQ(s.current, document.GetCurrentIndex()) << trace;
            EXPECT_EQ(document.GetImageCount() > 1, document.CanDeleteImage()) << trace;
        }
        EXPECT_EQ(c.deletedLeft, document.HasDeletedImage()) << trace;
    }
}

TEST(IconDocument, RestoreGivesBackTheSameImageWithItsPixels)
{
    IconDocument document;
    Build(document, "KL");
    IconImage* second = document.GetCurrentImage();
    second->SetPixelIndex(3, 4, 9);
    ASSERT_EQ(1, document.DeleteCurrentImage());
    EXPECT_TRUE(document.HasDeletedImage());
    ASSERT_EQ(1, document.RestoreDeletedImage());
    EXPECT_EQ(second, document.GetCurrentImage());
    EXPECT_EQ(9, second->GetPixelIndex(3, 4));
}

TEST(IconDocument, CloseEmptiesBothListsAndNothingComesBack)
{
    IconDocument document;
    Build(document, "KLM");
    document.SetModified(1);
    ASSERT_EQ(1, document.DeleteCurrentImage());
    document.CloseDocument();
    EXPECT_EQ(0, document.IsOpen());
    EXPECT_EQ(nullptr, document.GetCurrentImage());
    EXPECT_FALSE(document.HasDeletedImage());
    EXPECT_EQ(0, document.IsModified());
    EXPECT_STREQ("", document.GetFilePath());
    ASSERT_EQ(1, document.AddNewImage(16, 1));
    EXPECT_EQ(0, document.RestoreDeletedImage());
    EXPECT_EQ("K", Letters(document));
}

TEST(IconDocument, SelectImageBoundsAndRefusedAdds)
{
    IconDocument empty;
    EXPECT_EQ(0, empty.GetCurrentIndex());
    EXPECT_EQ(0, empty.SelectImage(0));
    EXPECT_FALSE(empty.CanDeleteImage());
    EXPECT_EQ(0, empty.RestoreDeletedImage());

    IconDocument document;
    Build(document, "KLM");
    ASSERT_EQ(1, document.SelectImage(1));
    IconImage* current = document.GetCurrentImage();
    for (int position : {-1, 3, 1000, INT_MIN})
        EXPECT_EQ(0, document.SelectImage(position)) << position;
    EXPECT_EQ(current, document.GetCurrentImage());
    EXPECT_EQ(1, document.GetCurrentIndex());

    struct Format { int size, bits; };
    for (const Format f : {Format{32, 16}, Format{20, 8}, Format{0, 0}, Format{256, 32}, Format{32, 2}}) {
        EXPECT_EQ(0, document.AddNewImage(f.size, f.bits)) << f.size << "x" << f.bits;
        EXPECT_EQ("KLM", Letters(document));
        EXPECT_EQ(current, document.GetCurrentImage());
    }
    ASSERT_EQ(1, document.AddNewImage(128, 32));
    EXPECT_EQ(3, document.GetCurrentIndex());
    EXPECT_EQ(128, document.GetCurrentImage()->GetSize());
    EXPECT_EQ(32, document.GetCurrentImage()->GetBitCount());
    EXPECT_EQ(4, document.IsOpen());
    EXPECT_EQ(0, document.IsModified());
}

TEST(IconDocument, HistoryFollowsTheCurrentImage)
{
    IconDocument document;
    EXPECT_FALSE(document.CanUndo());
    EXPECT_FALSE(document.CanRedo());
    EXPECT_EQ(0, document.Undo());
    EXPECT_EQ(0, document.Redo());

    Build(document, "KL");
    IconImage* second = document.GetCurrentImage();
    ImageState* before = second->CopyCurrentState();
    ASSERT_NE(nullptr, before);
    second->SetPixelIndex(0, 0, 3);
    ASSERT_EQ(1, second->CommitState(before));
    EXPECT_TRUE(document.CanUndo());

    // The first image has a history of its own.
    document.SelectImage(0);
    EXPECT_FALSE(document.CanUndo());
    EXPECT_EQ(0, document.Undo());

    document.SelectImage(1);
    EXPECT_EQ(1, document.Undo());
    EXPECT_EQ(15, second->GetPixelIndex(0, 0));
    EXPECT_TRUE(document.CanRedo());
    EXPECT_EQ(1, document.Redo());
    EXPECT_EQ(3, second->GetPixelIndex(0, 0));
    EXPECT_EQ(0, document.IsModified());
}

TEST(IconDocument, ModifiedFlagIsPostedToTheOwner)
{
    Owner owner;
    IconDocument document;
    document.SetModified(1);                  // no owner yet: nothing to post to
    EXPECT_EQ(1, document.IsModified());
    document.SetOwnerWindow(owner.Get());
    EXPECT_EQ(owner.Get(), document.GetOwnerWindow());
    document.SetModified(0);
    EXPECT_EQ(0, document.IsModified());
    EXPECT_EQ(1, owner.TakeDocumentStates());
    document.SetModified(1);
    document.SetModified(1);
    EXPECT_EQ(2, owner.TakeDocumentStates());
    // Structural changes do not touch the flag and post nothing.
    ASSERT_EQ(1, document.AddNewImage(16, 4));
    ASSERT_EQ(1, document.AddNewImage(32, 4));
    ASSERT_EQ(1, document.DeleteCurrentImage());
    ASSERT_EQ(1, document.RestoreDeletedImage());
    EXPECT_EQ(1, document.IsModified());
    EXPECT_EQ(0, owner.TakeDocumentStates());
}

TEST(IconDocument, SelectionArithmetic)
{
    Owner owner;
    IconDocument document;
    document.SetOwnerWindow(owner.Get());
    const POINT origin = {0, 0};
    document.SetSelection(&origin, &origin, 256);          // nothing open: cleared
    EXPECT_EQ(0, document.HasSelection());
    EXPECT_EQ(1, owner.TakeDocumentStates());

    Build(document, "L");
    struct Case { POINT p0, p1; int extent; int has; RECT rect; };
    const Case cases[] = {
        {{0, 0}, {128, 64}, 256, 1, {0, 0, 16, 8}},
        {{128, 64}, {0, 0}, 256, 1, {0, 0, 16, 8}},
        {{255, 10}, {7, 255}, 256, 1, {0, 1, 31, 31}},
        {{40, 40}, {40, 40}, 256, 1, {5, 5, 5, 5}},          // empty but set
        {{-8, 300}, {8, -300}, 256, 1, {-1, -37, 1, 37}},    // truncation toward zero
        {{0, 0}, {128, 64}, 0, 0, {0, 0, 0, 0}},
        {{0, 0}, {128, 64}, -256, 0, {0, 0, 0, 0}},
        {{3, 3}, {5, 6}, 8, 1, {12, 12, 20, 24}},
    };
    for (const Case& c : cases) {
        document.SetSelection(&c.p0, &c.p1, c.extent);
        RECT r = document.GetSelection();
        EXPECT_EQ(c.has, document.HasSelection()) << c.p0.x << "," << c.p0.y << " e " << c.extent;
        EXPECT_TRUE(EqualRect(&c.rect, &r)) << r.left << " " << r.top << " " << r.right << " " << r.bottom;
        EXPECT_EQ(1, owner.TakeDocumentStates());
    }
    document.SetSelection(&cases[0].p0, &cases[0].p1, 256);
    document.SetSelection(nullptr, &cases[0].p1, 256);
    EXPECT_EQ(0, document.HasSelection());
    document.SetSelection(&cases[0].p0, nullptr, 256);
    EXPECT_EQ(0, document.HasSelection());
    EXPECT_EQ(3, owner.TakeDocumentStates());

    // The selection belongs to the document: switching, adding and closing keep it.
    document.SetSelection(&cases[0].p0, &cases[0].p1, 256);
    ASSERT_EQ(1, document.AddNewImage(128, 1));
    document.SelectImage(0);
    document.CloseDocument();
    EXPECT_EQ(1, document.HasSelection());
    RECT r = document.GetSelection();
    EXPECT_EQ(16, r.right);
    EXPECT_EQ(8, r.bottom);
}
