// The bands a gradient is rendered from.
#include "toolkit/VxGradient.h"

#include <gtest/gtest.h>

TEST(VxGradient, BandColoursRoundHalvesToEven)
{
    const struct {
        QRgb start;
        QRgb end;
        int n;
        int i;
        QRgb expected;
    } cases[] = {
        {qRgb(0, 0, 0), qRgb(1, 3, 5), 2, 1, qRgb(0, 2, 2)},
        {qRgb(10, 10, 10), qRgb(13, 15, 10), 2, 1, qRgb(12, 12, 10)},
        {qRgb(0, 0, 255), qRgb(255, 255, 255), 100, 0, qRgb(0, 0, 255)},
        {qRgb(0, 0, 255), qRgb(255, 255, 255), 100, 100, qRgb(255, 255, 255)},
        {qRgb(255, 0, 0), qRgb(0, 0, 0), 4, 1, qRgb(191, 0, 0)},
        {qRgb(0, 0, 0), qRgb(255, 255, 255), 0, 1, qRgb(255, 255, 255)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GradientBandColor(c.start, c.end, c.n, c.i), c.expected) << c.n << " " << c.i;
}

TEST(VxGradient, HorizontalBandsAreNeverNarrowerThanAPixel)
{
    const struct {
        int steps;
        int width;
        int bands;
        QList<int> firstEdges;
    } cases[] = {
        {100, 50, 51, {0, 1, 2, 3, 4}},
        {100, 300, 101, {0, 3, 6, 9, 12}},
        {100, 250, 101, {0, 2, 5, 8, 10}}, // 2.5 and 7.5 round to even
        {0, 10, 2, {0, 10}},               // no steps draws like one
    };
    const QRgb start = qRgb(0, 0, 255);
    const QRgb end = qRgb(0, 0, 0);
    for (const auto &c : cases) {
        const QList<TVxGradientBand> bands = GradientBands(grHorizontal, start, end, c.steps, c.width, 19);
        ASSERT_EQ(bands.size(), c.bands) << c.width;
        for (int i = 0; i < c.firstEdges.size(); ++i)
            EXPECT_EQ(bands[i].rect.x(), c.firstEdges[i]) << c.width << " band " << i;
        EXPECT_EQ(bands.first().color, start);
        EXPECT_EQ(bands.first().rect.height(), 19);
        EXPECT_EQ(bands.last().rect.x(), c.width) << "the last band lies past the edge";
    }
}

TEST(VxGradient, ShapesShrinkFromTheOutsideIn)
{
    const QRgb start = qRgb(0, 0, 0);
    const QRgb end = qRgb(250, 250, 250);
    const QList<TVxGradientBand> ellipse = GradientBands(grEllipse, start, end, 100, 20, 10);
    ASSERT_EQ(ellipse.size(), 1 + 6); // the fill, then steps limited to 10 / 2
    EXPECT_EQ(ellipse[0], (TVxGradientBand{TVxGradientBand::Fill, QRect(0, 0, 20, 10), start}));
    EXPECT_EQ(ellipse[1], (TVxGradientBand{TVxGradientBand::Ellipse, QRect(0, 0, 20, 10), start}));
    EXPECT_EQ(ellipse[2], (TVxGradientBand{TVxGradientBand::Ellipse, QRect(2, 1, 16, 8), qRgb(50, 50, 50)}));
    EXPECT_EQ(GradientBands(grPyramid, start, end, 100, 20, 10)[2].shape, TVxGradientBand::Rectangle);
    EXPECT_EQ(GradientBands(grMount, start, end, 100, 20, 10)[2].shape, TVxGradientBand::RoundRect);
    const QList<TVxGradientBand> vertical = GradientBands(grVertical, start, end, 4, 30, 8);
    ASSERT_EQ(vertical.size(), 5);
    EXPECT_EQ(vertical[1].rect, QRect(0, 2, 30, 2));
    EXPECT_EQ(GradientBands(grFilled, start, end, 100, 20, 10),
              (QList<TVxGradientBand>{{TVxGradientBand::Fill, QRect(0, 0, 20, 10), start}}));
    EXPECT_TRUE(GradientBands(grHorizontal, start, end, 100, 0, 10).isEmpty());
}
