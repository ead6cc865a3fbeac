// The attributes dialog's units: typed sizes read into pixels, sizes shown per unit, the resolution line.
#include "dialogs/attributeUnits.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using enum AttributeUnit;

TEST(AttributeUnits, TypedInchesAndCentimetresReadOnlyTheLeadingDecimalNumber) {
    EXPECT_EQ(PixelsFromText(u"2,5", inch, 96), 192);  // the comma ends the number
    EXPECT_EQ(PixelsFromText(u"2.5", inch, 96), 240);
    EXPECT_EQ(PixelsFromText(u"1.5e1in", inch, 10), 150);
    EXPECT_EQ(PixelsFromText(u"3e", inch, 10), 30);  // an 'e' without digits is no exponent
    EXPECT_EQ(PixelsFromText(u".5", inch, 97), 48);  // truncated toward zero
    EXPECT_EQ(PixelsFromText(u"1", centimetre, 300), 118);
}

TEST(AttributeUnits, TypedPixelsReadTheLeadingWholeNumber) {
    EXPECT_EQ(PixelsFromText(u"+12px", pixel, 96), 12);
    EXPECT_EQ(PixelsFromText(u"12.9", pixel, 96), 12);
    EXPECT_EQ(PixelsFromText(u"x12", pixel, 96), 1);  // no number: 0, raised to 1
}

TEST(AttributeUnits, NothingPositiveBecomesOnePixel) {
    for (AttributeUnit unit : {inch, centimetre, pixel}) {
        EXPECT_EQ(PixelsFromText(u"0", unit, 96), 1);
        EXPECT_EQ(PixelsFromText(u"-3", unit, 96), 1);
        EXPECT_EQ(PixelsFromText(u".", unit, 96), 1);
    }
    EXPECT_EQ(PixelsFromText(u"1e-400", inch, 96), 1);
}

TEST(AttributeUnits, HugeValuesStopAtTheLargestInt) {
    EXPECT_EQ(PixelsFromText(u"1e30", inch, 96), INT_MAX);
    EXPECT_EQ(PixelsFromText(u"-1e999", centimetre, 96), 1);
    EXPECT_EQ(PixelsFromText(u"99999999999999999999", pixel, 96), INT_MAX);
    // Only the first 100 characters are read.
    EXPECT_EQ(PixelsFromText(std::u16string(100, u'0') + u"7", pixel, 96), 1);
}

TEST(AttributeUnits, SizesShowWithThreeDecimalsAndPixelsAsIntegers) {
    EXPECT_EQ(SizeText(192, inch, 96), u"2.000");
    EXPECT_EQ(SizeText(100, centimetre, 96), u"2.646");
    EXPECT_EQ(SizeText(801, pixel, 96), u"801");
    EXPECT_EQ(SizeText(96, inch, 0), u"1.000");  // an unusable resolution reads as 96 dpi
}

TEST(AttributeUnits, ResolutionShowsPerCentimetreUnlessTheLabelSaysDpi) {
    EXPECT_EQ(ResolutionText(96, 120, u"ppcm"), u"38 x 47, ");
    EXPECT_EQ(ResolutionText(96, 120, u"dpi"), u"96 x 120, ");
    EXPECT_EQ(ResolutionText(95.5, 0.4, u"dpi"), u"96 x 0, ");  // half up
}

}  // namespace
