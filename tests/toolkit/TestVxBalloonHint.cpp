// How a balloon is laid out and which way it turns near the edges of the work area.
#include "toolkit/VxBalloonHint.h"

#include <QApplication>
#include <QScreen>

#include <gtest/gtest.h>

TEST(VxBalloonHint, StemGrowsWithAHeaderAndASecondLine)
{
    const struct {
        QSize header;
        bool multiLine;
        int stem;
    } cases[] = {
        {{}, false, 12},
        {{}, true, 12},
        {{60, 14}, false, 19},
        {{60, 14}, true, 21},
    };
    for (const auto &c : cases) {
        const TVxBalloonLayout layout = CalcBalloonLayout({c.header, {100, 15}, {16, 16}, c.multiLine, {}});
        EXPECT_EQ(layout.tipHeight, c.stem);
        EXPECT_EQ(layout.tipWidth, c.stem);
        EXPECT_EQ(layout.tipDelta, 16);
    }
}

TEST(VxBalloonHint, IconPushesTheTextRightAndTheBoxWrapsIt)
{
    const TVxBalloonLayout plain = CalcBalloonLayout({{}, {100, 15}, {16, 16}, false, {}});
    EXPECT_EQ(plain.iconPos, QPoint(12, 12));
    EXPECT_EQ(plain.messageRect, QRect(33, 12, 100, 15));
    EXPECT_EQ(plain.roundRect, QRect(0, 0, 146, 37));
    const TVxBalloonLayout headed = CalcBalloonLayout({{60, 14}, {100, 30}, {}, true, {}});
    EXPECT_EQ(headed.headerRect, QRect(12, 9, 60, 14));
    EXPECT_EQ(headed.messageRect, QRect(12, 26, 100, 30));
    EXPECT_EQ(headed.roundRect, QRect(0, 0, 125, 66));
    const TVxBalloonLayout closable = CalcBalloonLayout({{60, 14}, {40, 15}, {}, false, {14, 14}});
    EXPECT_EQ(closable.closeButtonRect, QRect(79, 6, 14, 14));
}

TEST(VxBalloonHint, LinesEndAtEveryKindOfBreak)
{
    const struct {
        const char16_t *text;
        bool multiLine;
    } cases[] = {{u"one", false}, {u"one\ntwo", true}, {u"one\r\ntwo", true}, {u"one\rtwo", true},
                 {u"one\r\n", false}, {u"one\u2028two", true}, {u"one\u2029two", true}};
    for (const auto &c : cases)
        EXPECT_EQ(IsMultiLineMessage(QString::fromUtf16(c.text)), c.multiLine);
}

TEST(VxBalloonHint, QuarterOfTheWorkAreaChoosesThePosition)
{
    const QRect work(0, 0, 1000, 800);
    const struct {
        QPoint anchor;
        TVxBalloonPosition position;
    } cases[] = {{{100, 700}, bpLeftDown}, {{900, 700}, bpRightDown}, {{100, 100}, bpLeftUp},
                 {{900, 100}, bpRightUp}, {{500, 400}, bpRightDown}};
    for (const auto &c : cases)
        EXPECT_EQ(AutoBalloonPosition(c.anchor, work), c.position) << c.anchor.x() << "," << c.anchor.y();
}

TEST(VxBalloonHint, FlipsKeepTheBalloonOnTheWorkArea)
{
    const TVxBalloonLayout layout = CalcBalloonLayout({{}, {100, 15}, {16, 16}, false, {}}); // 146 x 37, stem 12
    const QRect work(0, 0, 1000, 800);
    const struct {
        QPoint anchor;
        TVxBalloonPosition wanted;
        TVxBalloonPosition position;
        QPoint topLeft;
    } cases[] = {
        {{500, 400}, bpAuto, bpRightDown, {484, 400}},
        {{600, 790}, bpAuto, bpRightUp, {584, 742}},   // past the bottom
        {{990, 100}, bpAuto, bpLeftUp, {860, 52}},     // past the right edge
        {{20, 700}, bpAuto, bpRightDown, {4, 700}},    // before the left edge
        {{900, 20}, bpAuto, bpLeftDown, {770, 20}},    // above the top, then past the right edge
        {{20, 790}, bpLeftDown, bpRightUp, {4, 742}},  // a corner turns twice
        {{500, 400}, bpLeftUp, bpLeftUp, {370, 352}},  // room enough: as asked
    };
    for (const auto &c : cases) {
        const TVxBalloonPlacement placement = PlaceBalloon(layout, c.anchor, work, c.wanted);
        EXPECT_EQ(placement.position, c.position) << c.anchor.x() << "," << c.anchor.y();
        EXPECT_EQ(placement.window.topLeft(), c.topLeft) << c.anchor.x() << "," << c.anchor.y();
        EXPECT_EQ(placement.window.topLeft() + placement.stem[2], c.anchor) << "the stem's tip is on the anchor";
    }
}

TEST(VxBalloonHint, TheFrameShowsOnEverySideOfTheBox)
{
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name};
    QApplication app(argc, argv);
    TVxBalloonHint hint;
    TVxBalloonWindow balloon;
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint anchors[] = {work.center() + QPoint(-50, 50), work.center() + QPoint(50, -50)}; // down, up
    for (const QPoint &anchor : anchors) {
        balloon.ActivateHint(anchor, QStringLiteral("Next fingering"), hint);
        const QRect box = balloon.Placement().box;
        const QPoint edges[] = {{box.center().x(), box.top()}, {box.left(), box.center().y()},
                                {box.center().x(), box.bottom()}, {box.right(), box.center().y()}};
        for (const QPoint &edge : edges)
            EXPECT_TRUE(balloon.mask().contains(edge)) << edge.x() << "," << edge.y();
        EXPECT_FALSE(balloon.mask().contains(balloon.Placement().stem.point(2))) << "the pointer's pixel";
    }
}
