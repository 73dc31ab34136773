#include <gtest/gtest.h>

#include "skin/ColourMath.h"

using namespace CommCtrl;

namespace {
constexpr ColourValue Pane = MakeColour(228, 236, 247);

void ExpectChannels(ColourValue colour, int red, int green, int blue)
{
    EXPECT_EQ(RedOf(colour), red);
    EXPECT_EQ(GreenOf(colour), green);
    EXPECT_EQ(BlueOf(colour), blue);
}
}  // namespace

TEST(ColourMathTests, ChannelsKeepThePlatformLayout)
{
    EXPECT_EQ(MakeColour(0x12, 0x34, 0x56), 0x00563412u);
    ExpectChannels(MakeColour(255, 128, 64), 255, 128, 64);
}

TEST(ColourMathTests, LighterScalesEachChannelAndSaturatesAbove254)
{
    ExpectChannels(Lighter(Pane, 1.4), 255, 255, 255);
    ExpectChannels(Lighter(MakeColour(100, 150, 181), 1.4), 140, 210, 253);
    // 182 * 1.4 = 254.8 truncates to 254, which stays; 255 stays 255.
    ExpectChannels(Lighter(MakeColour(182, 255, 0), 1.4), 254, 255, 0);
    ExpectChannels(Lighter(MakeColour(100, 101, 102), 1.5), 150, 151, 153);
}

TEST(ColourMathTests, LighterNeverDarkens)
{
    EXPECT_EQ(Lighter(Pane, 0.5), Pane);
    EXPECT_EQ(Lighter(Pane, -3.0), Pane);
}

TEST(ColourMathTests, DarkerTruncatesTowardZeroAndClampsItsFactor)
{
    ExpectChannels(Darker(Pane, 0.7), 159, 165, 172);
    ExpectChannels(Darker(Pane, 0.5), 114, 118, 123);
    ExpectChannels(Darker(Pane, 0.9), 205, 212, 222);
    ExpectChannels(Darker(Pane, 0.75), 171, 177, 185);
    EXPECT_EQ(Darker(Pane, 1.5), Pane);
    EXPECT_EQ(Darker(Pane, -1.0), MakeColour(0, 0, 0));
}

TEST(ColourMathTests, GradientRunsFromStartTowardsEndPerChannel)
{
    const ColourValue end = Darker(Pane, 0.7);
    const int height = 20;
    EXPECT_EQ(GradientLine(Pane, end, 0, height), Pane);
    // Line i gets start + i * (end - start) / h, with integer division toward zero.
    ExpectChannels(GradientLine(Pane, end, 7, height), 228 + 7 * (159 - 228) / 20, 236 + 7 * (165 - 236) / 20,
                   247 + 7 * (172 - 247) / 20);
    ExpectChannels(GradientLine(Pane, end, 19, height), 163, 169, 176);
    // Rising channels too.
    ExpectChannels(GradientLine(MakeColour(0, 100, 200), MakeColour(100, 100, 0), 5, 10), 50, 100, 100);
    EXPECT_EQ(GradientLine(Pane, end, 3, 0), Pane);
}
