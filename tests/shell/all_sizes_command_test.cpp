#include "editor_fixture.h"

TEST_F(EditorTest, CreateAllSizesAddsTheMissingOnesAndSaysWhich)
{
    NewDocument(k48, kBits4);
    Command(IDM_CREATE_ALL_SIZES);
    EXPECT_EQ("Ajoutées : 16, 20, 24, 32, 40, 64, 96 et 256 px", StatusText(0));
    EXPECT_EQ(9u, IndexEntries().size());
    EXPECT_EQ(0, IndexSelection());
    EXPECT_EQ("48x48x4-bits", ChildText(IDC_FORMAT_BOX));
    ExpectEnabled("built", {{IDM_SAVE, true}, {IDM_DELETE_IMAGE, true}});

    Command(IDM_CREATE_ALL_SIZES);
    EXPECT_EQ("Le document a déjà toutes les tailles.", StatusText(0));
    Command(IDM_DELETE_IMAGE);
    Command(IDM_CREATE_ALL_SIZES);
    EXPECT_EQ("Ajoutée : 48 px", StatusText(0));
    EXPECT_EQ(9u, IndexEntries().size());
    EXPECT_EQ("16x16x32-bits", ChildText(IDC_FORMAT_BOX));
}
