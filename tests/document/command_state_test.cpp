#include "document/command_state.h"
#include "document_test_support.h"

namespace {

// Four states of the document, each with the clipboard's answer.
enum State { kClosed, kFresh, kEdited, kSeveral, kStates };

bool Build(IconDocument& document, State state)
{
    document.CloseDocument();
    if (state == kClosed)
        return true;
    for (int i = 0; i < (state == kSeveral ? 3 : 1); ++i)
        if (document.AddNewImage(16, 4) != EditOutcome::Done)
            return false;
    SetModifiedForTest(document, false);
    switch (state) {
    case kEdited:  // a selection, a step to undo, modified
        return document.SelectAll() == EditOutcome::Done && document.ClearCurrentImage() == EditOutcome::Done;
    case kSeveral:  // one image deleted, a step to redo
        return document.DeleteCurrentImage() == EditOutcome::Done && document.ClearCurrentImage() == EditOutcome::Done &&
               document.Undo() == EditOutcome::Done;
    default: return true;
    }
}

}  // namespace

TEST(CommandState, FollowsTheDocumentAndTheClipboard)
{
    const bool clipboard[kStates] = {true, false, true, true};
    struct Row { int command; const char* enabled; };  // one letter a state, in State's order
    const Row rows[] = {
        {IDM_NEW, "1111"}, {IDM_OPEN, "1111"}, {IDM_IMPORT_BITMAP, "1111"}, {IDM_QUIT, "1111"}, {IDM_HELP, "1111"},
        {IDM_ABOUT, "1111"}, {IDM_SAVE, "0011"}, {IDM_SAVE_AS, "0111"}, {IDM_CLOSE, "0111"}, {IDM_SELECT_ALL, "0111"},
        {IDM_PENCIL, "0111"}, {IDM_SELECT, "0111"}, {IDM_SHIFT_LEFT, "0111"}, {IDM_MIRROR_VERTICAL, "0111"},
        {IDM_CLEAR_IMAGE, "0111"}, {IDM_ADD_BLANK_IMAGE, "0111"}, {IDM_ADD_BITMAP_IMAGE, "0111"},
        {IDM_CREATE_ALL_SIZES, "0111"},
        {IDM_UNDO, "0010"}, {IDM_REDO, "0001"}, {IDM_CUT, "0010"}, {IDM_COPY, "0010"}, {IDM_PASTE, "0011"},
        {IDM_DELETE_IMAGE, "0001"}, {IDM_RESTORE_IMAGE, "0001"},
    };
    IconDocument document;
    for (int state = 0; state < kStates; ++state) {
        ASSERT_TRUE(Build(document, State(state))) << "state " << state;
        for (const Row& row : rows)
            EXPECT_EQ(row.enabled[state] == '1', IsCommandEnabled(row.command, document, clipboard[state]))
                << "command " << row.command << ", state " << state;
    }
}
