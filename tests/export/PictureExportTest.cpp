// The printed page's image box, the picture file types and the rules typed
// names and sizes follow.
#include "export/PictureExport.h"

#include <gtest/gtest.h>

using namespace quillmere;

namespace {

TEST(PrintedImageLayout, FourToThreeInside95PercentOfThePageCentred) {
    const struct {
        const char* page;
        int widthMm, heightMm, widthPx, heightPx;
        int width, height; // the box expected
    } pages[] = {
        // A4 at 300 dpi, 11 pixels per millimetre either way: four thirds
        // of 95 % of the width, or 95 % of the height.
        {"portrait", 210, 297, 2480, 3508, int(0.95 * 210 * 11), int(0.95 * 210 * 0.75 * 11)},
        {"landscape", 297, 210, 3508, 2480, int(0.95 * 210 * 1.3333333333333333 * 11), int(0.95 * 210 * 11)},
        // Square and barely landscape: 4:3 of 95 % of the height does not
        // fit, so 95 % of the width, and the box is not 4:3.
        {"square", 100, 100, 1000, 1000, 950, 950},
        {"narrow", 120, 100, 1200, 1000, int(0.95 * 120 * 10), 950},
        // 2550 / 210 = 12 across, 3300 / 297 = 11 down: integer quotients.
        {"letter", 210, 297, 2550, 3300, int(0.95 * 210 * 12), int(0.95 * 210 * 0.75 * 11)},
    };
    for (const auto& page : pages) {
        const PrintedImageBox box =
            PrintedImageLayout(page.widthMm, page.heightMm, page.widthPx, page.heightPx);
        EXPECT_EQ(box.width, page.width) << page.page;
        EXPECT_EQ(box.height, page.height) << page.page;
        EXPECT_EQ(box.left, (page.widthPx - box.width) / 2) << page.page;
        EXPECT_EQ(box.top, (page.heightPx - box.height) / 2) << page.page;
    }
}

TEST(CorrectPixelAspect, ShrinksTheLongerPixelsSide) {
    const PrintedImageBox box{10, 20, 1000, 750};
    const PrintedImageBox square = CorrectPixelAspect(box, 300, 300);
    EXPECT_EQ(square.width, 1000);
    EXPECT_EQ(square.height, 750);
    EXPECT_EQ(CorrectPixelAspect(box, 600, 300).height, 375);
    EXPECT_EQ(CorrectPixelAspect(box, 600, 300).width, 1000);
    EXPECT_EQ(CorrectPixelAspect(box, 300, 600).width, 500);
    EXPECT_EQ(CorrectPixelAspect(box, 300, 600).height, 750);
    EXPECT_EQ(CorrectPixelAspect(box, 300, 600).left, 10);
}

TEST(PictureFileTypes, IconsAndMetafilesAreLeftOutAndAliasesJoined) {
    const auto types =
        PictureFileTypes({"bmp", "cur", "ico", "jpeg", "jpg", "png", "tif", "tiff", "wmf", "EMF"});
    ASSERT_EQ(types.size(), 4u);
    EXPECT_EQ(types[0].format, "bmp");
    EXPECT_EQ(types[1].extensions.front(), ".jpg");
    EXPECT_EQ(types[1].extensions.size(), 2u);
    EXPECT_EQ(types[2].Filter(), "PNG (*.png)");
    EXPECT_EQ(types[3].extensions.front(), ".tif");
    for (const auto& type : types)
        EXPECT_FALSE(ExcludedImageFormat(type.format)) << type.format;
}

TEST(PictureFileName, ExtensionRules) {
    const auto types = PictureFileTypes({"bmp", "jpg", "jpeg", "png"});
    const ImageFileType* png = &types[2];
    ASSERT_EQ(png->format, "png");
    // A trailing dot goes, the chosen type's first extension comes.
    EXPECT_EQ(PictureFileName("/tmp/cup.", png), "/tmp/cup.png");
    EXPECT_EQ(PictureFileName("/tmp/cup", png), "/tmp/cup.png");
    EXPECT_EQ(PictureFileName("/tmp/cup", nullptr), "/tmp/cup.jpg");
    EXPECT_EQ(PictureFileName("/tmp/cup.", nullptr), "/tmp/cup.jpg");
    // A name with an extension keeps it, whatever the type.
    EXPECT_EQ(PictureFileName("/tmp/cup.BMP", png), "/tmp/cup.BMP");
    // A dot in a folder name is no extension.
    EXPECT_EQ(PictureFileName("/tmp/a.b/cup", png), "/tmp/a.b/cup.png");
    EXPECT_EQ(PictureTypeOf("x.JPEG", types)->format, "jpg");
    EXPECT_EQ(PictureTypeOf("x.gif", types), nullptr);
    EXPECT_EQ(PictureTypeOf("x", types), nullptr);
    EXPECT_EQ(DefaultPictureName("cup.tfc"), "cup");
}

TEST(PictureSize, OnlyOneHundredToTwentyThousand) {
    EXPECT_FALSE(ValidPictureSize(99));
    EXPECT_TRUE(ValidPictureSize(100));
    EXPECT_TRUE(ValidPictureSize(20000));
    EXPECT_FALSE(ValidPictureSize(20001));
    EXPECT_EQ(ParsePictureSize("4000x3000"), std::make_pair(4000, 3000));
    EXPECT_EQ(ParsePictureSize("100X20000"), std::make_pair(100, 20000));
    for (const char* wrong : {"99x100", "100x20001", "x100", "100x", "100", "-100x100", "1e3x100",
                              "100x100x3", "99999999999x100", ""})
        EXPECT_FALSE(ParsePictureSize(wrong).has_value()) << wrong;
}

} // namespace
