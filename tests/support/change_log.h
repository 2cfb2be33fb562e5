#pragma once
// What a document told its observers, one entry a notification.
#include <vector>

#include "document/document_change.h"
#include "document/icon_document.h"

class ChangeLog : public DocumentObserver
{
public:
    void DocumentChanged(unsigned changes) override { told.push_back(changes); }
    // The notifications since the last call, forgotten.
    std::vector<unsigned> Take()
    {
        std::vector<unsigned> taken;
        taken.swap(told);
        return taken;
    }

    std::vector<unsigned> told;
};

// Sets the modified flag as a save or a change would, and tells the observers
// as they would, for tests whose state needs it without going through either.
struct ModifiedFlagForTests
{
    static void Set(IconDocument& document, bool modified)
    {
        document.SetModified(modified);
        document.Notify(modified ? ChangePixels : ChangeFileState);
    }
};
inline void SetModifiedForTest(IconDocument& document, bool modified)
{
    ModifiedFlagForTests::Set(document, modified);
}
