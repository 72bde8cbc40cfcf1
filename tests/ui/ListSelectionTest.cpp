#include "ui/ListSelection.h"

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
    ListSelection artists(8); // the menu's wrapping is the main page's test
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
