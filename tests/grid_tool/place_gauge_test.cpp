// The grid's place: a percentage typed by the user is read or refused as a whole, the status line's
// per cent and the scrollbar's thumb agree at both ends, and a press on any line of the track means
// the place whose thumb stands on that line.
#include "tools/grid/place_gauge.h"

#include <gtest/gtest.h>

#include "tools/grid/screen_painter.h"

namespace grid_tool {
namespace {

TEST(GridPlace, PercentagesAreReadWithOrWithoutTheSignAndNonsenseIsRefused) {
    EXPECT_EQ(ParsePercent("50"), 0.5);
    EXPECT_EQ(ParsePercent(" 12.5 % "), 0.125);
    EXPECT_EQ(ParsePercent("100%"), 1.0);
    EXPECT_EQ(ParsePercent("0"), 0.0);
    for (const char* bad : {"", " ", "%", "101", "-5", "half", "5x", ".5", "1e2", "50%%", "5 0"})
        EXPECT_FALSE(ParsePercent(bad)) << bad;
}

TEST(GridPlace, WholePercentsRoundAndStayWithinTheEnds) {
    EXPECT_EQ(WholePercent(0.0), 0);
    EXPECT_EQ(WholePercent(1.0), 100);
    EXPECT_EQ(WholePercent(0.494), 49);
    EXPECT_EQ(WholePercent(0.495), 50);
    EXPECT_EQ(WholePercent(1.2), 100);
    EXPECT_EQ(WholePercent(-0.1), 0);
}

TEST(GridPlace, TheThumbSpansTheTrackAndAPressOnALineMeansItsThumbsPlace) {
    const ScrollbarTrack track = TrackFor(30, 80);
    EXPECT_EQ(track.x, 79);
    EXPECT_EQ(track.top, 1);
    EXPECT_EQ(track.height, 26);
    EXPECT_EQ(ThumbLine(track, 0.0), 1);
    EXPECT_EQ(ThumbLine(track, 1.0), 26);
    for (int y = track.top; y < track.top + track.height; ++y) EXPECT_EQ(ThumbLine(track, PlaceOfLine(track, y)), y);
    EXPECT_EQ(PlaceOfLine(track, 0), 0.0);    // above the track: its top
    EXPECT_EQ(PlaceOfLine(track, 40), 1.0);   // below it: its foot
    EXPECT_EQ(PlaceOfLine(TrackFor(5, 80), 1), 0.0);  // a track of one line
}

}  // namespace
}  // namespace grid_tool
