#include "ui/ListSelection.h"
#include "ui/ListView.h"

#include <gtest/gtest.h>

TEST(ListSelectionTest, ClampedMovesScrollTheWindowWithTheSelection) {
    ListSelection list(8);
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(list.moveClamped(+1, 20));
    }
    EXPECT_EQ(list.scrollOffset, 0);
    EXPECT_TRUE(list.moveClamped(+1, 20)); // row 7 -> 8 scrolls by one
    EXPECT_EQ(list.selectedIndex, 8);
    EXPECT_EQ(list.scrollOffset, 1);

    list.reset();
    list.moveClamped(+8, 20); // a page down from the first row
    EXPECT_EQ(list.selectedIndex, 8);
    EXPECT_EQ(list.scrollOffset, 1);
    list.moveClamped(+100, 20);
    EXPECT_EQ(list.selectedIndex, 19);
    EXPECT_EQ(list.scrollOffset, 12);
    list.moveClamped(-8, 20);
    EXPECT_EQ(list.selectedIndex, 11);
    EXPECT_EQ(list.scrollOffset, 11);
}

TEST(ListSelectionTest, ClampedMovesStopAtBothEnds) {
    ListSelection list(8);
    EXPECT_FALSE(list.moveClamped(-1, 5));
    list.selectedIndex = 3;
    EXPECT_TRUE(list.moveClamped(-8, 5)); // a page up from row 3 selects row 0
    EXPECT_EQ(list.selectedIndex, 0);
    list.selectedIndex = 4;
    EXPECT_FALSE(list.moveClamped(+1, 5));
    EXPECT_EQ(list.scrollOffset, 0);
    EXPECT_FALSE(list.moveClamped(+1, 0)); // an empty list never moves
    EXPECT_EQ(list.selectedIndex, 4);
}

TEST(ListSelectionTest, WrappingMovesGoRoundAndKeepTheRowVisible) {
    ListSelection menu(7);
    menu.moveWrapping(-1, 7);
    EXPECT_EQ(menu.selectedIndex, 6);
    menu.moveWrapping(+1, 7);
    EXPECT_EQ(menu.selectedIndex, 0);

    ListSelection artists(8);
    artists.moveWrapping(-1, 12);
    EXPECT_EQ(artists.selectedIndex, 11);
    EXPECT_EQ(artists.scrollOffset, 4);
    artists.moveWrapping(+1, 12);
    EXPECT_EQ(artists.selectedIndex, 0);
    EXPECT_EQ(artists.scrollOffset, 0);
}

TEST(ListSelectionTest, ShorterListBringsSelectionAndWindowInside) {
    ListSelection list(8);
    list.moveClamped(+30, 40);
    list.clampTo(10);
    EXPECT_EQ(list.selectedIndex, 9);
    EXPECT_EQ(list.scrollOffset, 2);
    list.clampTo(3);
    EXPECT_EQ(list.selectedIndex, 2);
    EXPECT_EQ(list.scrollOffset, 0);
    list.clampTo(0);
    EXPECT_EQ(list.selectedIndex, 0);
    EXPECT_EQ(list.scrollOffset, 0);
    EXPECT_FALSE(list.isSelectionValid(0));
}

TEST(ListViewTest, TheThumbStaysInsideTheTrackReachesItsEndAndKeepsItsLeastHeight) {
    const SDL_Rect track{634, 35, 4, 410};
    const int rows = 12, visible = 8, leastHeight = 30;
    for (int offset = 0; offset <= rows - visible; ++offset) {
        SDL_Rect thumb = ListView::thumbRect(track, rows, visible, offset, 0);
        EXPECT_GE(thumb.y, track.y);
        EXPECT_LE(thumb.y + thumb.h, track.y + track.h);
        if (offset == rows - visible) {
            EXPECT_EQ(thumb.y + thumb.h, track.y + track.h);
        }
    }
    EXPECT_EQ(ListView::thumbRect(track, 1000, visible, 0, leastHeight).h, leastHeight);
}
