#include "editor_fixture.h"

TEST_F(EditorTest, CreateAllSizesAddsTheMissingOnesAndSaysWhich)
{
    NewDocument(k48, kBits4);
    Command(IDM_CREATE_ALL_SIZES);
    EXPECT_EQ("Tailles ajoutées : 16, 20, 24, 32, 40, 64, 96 et 256 pixels", StatusText(0));
    EXPECT_EQ(9u, IndexEntries().size());
    EXPECT_EQ(0, IndexSelection());
    EXPECT_EQ("48x48x4-bits", ChildText(IDC_FORMAT_BOX));
    ExpectEnabled("built", {{IDM_SAVE, true}, {IDM_DELETE_IMAGE, true}});

    Command(IDM_CREATE_ALL_SIZES);
    EXPECT_EQ("Le document contient déjà toutes les tailles : aucune image n'a été ajoutée.", StatusText(0));
    Command(IDM_DELETE_IMAGE);
    Command(IDM_CREATE_ALL_SIZES);
    EXPECT_EQ("Taille ajoutée : 48 pixels", StatusText(0));
    EXPECT_EQ(9u, IndexEntries().size());
    EXPECT_EQ("16x16x32-bits", ChildText(IDC_FORMAT_BOX));
}
