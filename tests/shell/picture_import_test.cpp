#include "editor_fixture.h"

#include "win/png_codec.h"

namespace {

// A PNG of one half-transparent colour.
std::string PngFile(const char* name, int width, int height)
{
    BgraPicture picture;
    picture.width = width;
    picture.height = height;
    for (int i = 0; i < width * height; ++i)
        picture.pixels.insert(picture.pixels.end(), {200, 100, 50, 128});
    std::vector<BYTE> png;
    EXPECT_EQ(PngOutcome::Done, EncodePng(picture, png));
    const std::string path = FreshOutputPath(name);
    EXPECT_TRUE(WriteWholeFile(path, png));
    return path;
}

}  // namespace

// The question says what fitting will do; only "Oui" imports.
TEST_F(EditorTest, PicturesOfNoIconSizeAreFittedOnlyWhenTheUserAgrees)
{
    const std::string logo = PngFile("logo.png", 1024, 512), small = PngFile("small.png", 3, 3);
    const std::string question = "L'image « logo.png » fait 1024 x 512 pixels ; une image d'icône est carrée et fait "
                                 "au plus 256 pixels de côté.\n\nL'adapter ? Elle sera réduite à 256 x 128 pixels et "
                                 "centrée sur un carré transparent de 256 x 256 pixels.";
    std::vector<DialogSeen> seen = Command(IDM_IMPORT_BITMAP, {ChooseFile(logo), Press(IDNO)});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(question, seen[1].text);
    ExpectNoDocumentShown();
    seen = Command(IDM_IMPORT_BITMAP, {ChooseFile(small), Press(IDOK)});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("La taille de l'image n'est pas valide.", seen[1].text);
    ExpectNoDocumentShown();
    Command(IDM_IMPORT_BITMAP, {ChooseFile(logo), Press(IDYES)});
    ExpectDocumentShown("nouveau", {"1"}, "256x256x32-bits");
}
