#pragma once

#include <string>

// How the now-playing screens write a playing time.
namespace TimeText {

// "mm:ss" of the whole seconds; negative times read 00:00.
std::string clock(double seconds);
// "-mm:ss" of the whole seconds left until duration; never below -00:00.
std::string remaining(double duration, double current);

} // namespace TimeText
