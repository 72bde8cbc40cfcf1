#include "ui/ListSelection.h"

#include <algorithm>

bool ListSelection::moveClamped(int step, int count) {
    if (count <= 0) {
        return false;
    }
    int target = std::clamp(selectedIndex + step, 0, count - 1);
    if (target == selectedIndex) {
        return false;
    }
    selectedIndex = target;
    followSelection();
    scrollOffset = std::clamp(scrollOffset, 0, std::max(0, count - visibleItems));
    return true;
}

void ListSelection::moveWrapping(int step, int count) {
    if (count <= 0) {
        return;
    }
    int target = selectedIndex + step;
    if (target < 0) {
        target = count - 1;
    } else if (target >= count) {
        target = 0;
    }
    selectedIndex = target;
    followSelection();
}

void ListSelection::clampTo(int count) {
    selectedIndex = std::clamp(selectedIndex, 0, std::max(0, count - 1));
    scrollOffset = std::clamp(scrollOffset, 0, std::max(0, count - visibleItems));
    if (count > 0) {
        followSelection();
    }
}

int ListSelection::visibleEnd(int count) const {
    return std::min(scrollOffset + visibleItems, count);
}

void ListSelection::followSelection() {
    if (selectedIndex < scrollOffset) {
        scrollOffset = selectedIndex;
    } else if (selectedIndex >= scrollOffset + visibleItems) {
        scrollOffset = selectedIndex - visibleItems + 1;
    }
}
