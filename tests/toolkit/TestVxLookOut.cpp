// Where the look-out bar puts its caption bars and pages.
#include "toolkit/VxLookOut.h"

#include <gtest/gtest.h>

namespace {

QList<TVxLookOutPlace> Pages(int count)
{
    return QList<TVxLookOutPlace>(count, TVxLookOutPlace{true, 7, 7});
}

QList<int> Tops(const QList<TVxLookOutPlace> &places)
{
    QList<int> tops;
    for (const auto &place : places)
        tops.append(place.top);
    return tops;
}

} // namespace

TEST(VxLookOut, OpenPageAndThoseBeforeItAtTheTopTheRestAtTheBottom)
{
    const struct {
        int pages;
        int height;
        int active;
        bool flat;
        QList<int> tops;
        int pageHeight;
    } cases[] = {
        {3, 311, 1, false, {0, 20, 288}, 271},
        {3, 311, 0, false, {0, 268, 288}, 271},
        {3, 311, 2, false, {0, 20, 40}, 271},
        {3, 311, 0, true, {0, 270, 290}, 271},
        {2, 200, 0, false, {0, 177}, 180},
        {2, 200, 1, false, {0, 20}, 180},
        {4, 400, 1, false, {0, 20, 357, 377}, 340},
        {5, 300, 2, false, {0, 20, 40, 257, 277}, 220},
        {5, 300, 4, false, {0, 20, 40, 60, 80}, 220},
    };
    for (const auto &c : cases) {
        QList<TVxLookOutPlace> places = Pages(c.pages);
        ASSERT_TRUE(LayOutLookOut(places, c.height, c.active, c.flat)) << c.pages << " pages, " << c.height;
        EXPECT_EQ(Tops(places), c.tops) << c.pages << " pages, " << c.height << " high, page " << c.active;
        for (const auto &place : places)
            EXPECT_EQ(place.height, c.pageHeight);
    }
}

TEST(VxLookOut, TooLowForItsCaptionsLeavesThePagesAlone)
{
    const struct {
        int pages;
        int height;
        bool laidOut;
    } cases[] = {{3, 123, true}, {3, 122, false}, {2, 104, true}, {2, 103, false}, {5, 161, true}, {5, 160, false}};
    for (const auto &c : cases) {
        EXPECT_EQ(LookOutMinimumHeight(c.pages) <= c.height, c.laidOut);
        QList<TVxLookOutPlace> places = Pages(c.pages);
        EXPECT_EQ(LayOutLookOut(places, c.height, 0, false), c.laidOut) << c.pages << " pages, " << c.height;
        if (!c.laidOut) {
            EXPECT_EQ(places, Pages(c.pages));
        }
    }
}

TEST(VxLookOut, HiddenPagesKeepTheirPlaceAndTakeNoCaption)
{
    const TVxLookOutPlace hidden{false, 55, 10};
    const struct {
        QList<TVxLookOutPlace> places;
        int active;
        QList<TVxLookOutPlace> expected;
    } cases[] = {
        {{{true, 7, 7}, hidden, {true, 7, 7}}, 0, {{true, 0, 291}, hidden, {true, 288, 291}}},
        {{{true, 7, 7}, hidden, {true, 7, 7}}, 2, {{true, 0, 291}, hidden, {true, 20, 291}}},
        {{hidden, {true, 7, 7}, {true, 7, 7}}, 2, {hidden, {true, 0, 291}, {true, 20, 291}}},
        {{hidden, {true, 7, 7}, {true, 7, 7}}, 1, {hidden, {true, 0, 291}, {true, 288, 291}}},
    };
    for (const auto &c : cases) {
        QList<TVxLookOutPlace> places = c.places;
        ASSERT_TRUE(LayOutLookOut(places, 311, c.active, false));
        EXPECT_EQ(places, c.expected) << "page " << c.active;
    }
}
