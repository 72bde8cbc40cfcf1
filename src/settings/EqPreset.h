#pragma once

#include <string>
#include <vector>

// A named set of equalizer band gains in decibels, lowest band first.
struct EqPreset {
    // A localisation key such as "eq_preset_flat", or a display name.
    std::string name;
    std::vector<float> gains;
};
