#pragma once

// The highlighted row and the first visible row of a list that shows a window of rows.
class ListSelection {
public:
    explicit ListSelection(int visibleItems = 8) : visibleItems(visibleItems) {}

    int selectedIndex = 0;
    int scrollOffset = 0;
    int visibleItems;

    // Moves by step without wrapping around; the window follows the selection. Returns true
    // when the selection changed (at either end of the list nothing changes).
    bool moveClamped(int step, int count);

    // Moves by step, wrapping from one end of the list to the other; the window follows.
    void moveWrapping(int step, int count);

    // Brings the selection and the window inside a list of count rows (for example after the
    // list was replaced by a shorter one).
    void clampTo(int count);

    void reset() { selectedIndex = scrollOffset = 0; }

    bool isSelectionValid(int count) const { return selectedIndex >= 0 && selectedIndex < count; }

    // The rows on screen: [scrollOffset, end) with end = min(scrollOffset + visibleItems, count).
    int visibleEnd(int count) const;

private:
    void followSelection();
};
