#pragma once

// What a change of the document touched; one notification carries the set of
// all it touched.
enum DocumentChange : unsigned
{
    ChangePixels = 1u << 0,
    ChangePalette = 1u << 1,
    ChangeColours = 1u << 2,     // the painting colours, which are not content
    ChangeImageList = 1u << 3,   // images added, removed or another made current
    ChangeSelection = 1u << 4,
    ChangeHotspot = 1u << 5,
    ChangeFileState = 1u << 6,   // opened, replaced, closed or saved: another file or none
};

// A document opened, replaced or closed touches everything.
const unsigned ChangeWholeDocument = ChangePixels | ChangePalette | ChangeColours | ChangeImageList |
                                     ChangeSelection | ChangeHotspot | ChangeFileState;

// Told by the document once per operation that changed something, after the
// change; never for one that changed nothing.
class DocumentObserver
{
public:
    virtual void DocumentChanged(unsigned changes) = 0;

protected:
    ~DocumentObserver() = default;
};
