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
        if (!document.AddNewImage(16, 4))
            return false;
    document.SetModified(0);
    switch (state) {
    case kEdited:  // a selection, a step to undo, modified
        return document.SelectAll() && document.ClearCurrentImage() == EditOutcome::Done;
    case kSeveral:  // one image deleted, a step to redo
        return document.DeleteCurrentImage() && document.ClearCurrentImage() == EditOutcome::Done &&
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
        {CmdNew, "1111"}, {CmdOpen, "1111"}, {CmdImportBitmap, "1111"}, {CmdQuit, "1111"}, {CmdHelp, "1111"},
        {CmdAbout, "1111"}, {CmdSave, "0011"}, {CmdSaveAs, "0111"}, {CmdClose, "0111"}, {CmdSelectAll, "0111"},
        {CmdToolFirst, "0111"}, {CmdToolLast, "0111"}, {CmdShiftLeft, "0111"}, {CmdMirrorVertical, "0111"},
        {CmdClearImage, "0111"}, {CmdAddBlankImage, "0111"}, {CmdAddBitmapImage, "0111"},
        {CmdUndo, "0010"}, {CmdRedo, "0001"}, {CmdCut, "0010"}, {CmdCopy, "0010"}, {CmdPaste, "0011"},
        {CmdDeleteImage, "0001"}, {CmdRestoreImage, "0001"},
    };
    IconDocument document;
    for (int state = 0; state < kStates; ++state) {
        ASSERT_TRUE(Build(document, State(state))) << "state " << state;
        for (const Row& row : rows)
            EXPECT_EQ(row.enabled[state] == '1', IsCommandEnabled(row.command, document, clipboard[state]))
                << "command " << row.command << ", state " << state;
    }
}
