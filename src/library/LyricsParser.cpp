#include "library/LyricsParser.h"

#include "core/Log.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

namespace {

// A time tag is "[mm:ss" at least, optionally followed by ".f", ".ff" or ".fff".
constexpr std::size_t MINUTES_OFFSET = 1;
constexpr std::size_t SECONDS_OFFSET = 4;
constexpr std::size_t COLON_OFFSET = 3;
constexpr std::size_t POINT_OFFSET = 6;
constexpr std::size_t FRACTION_OFFSET = 7;
constexpr std::size_t FIELD_DIGITS = 2;
constexpr std::size_t MAX_FRACTION_DIGITS = 3;
constexpr std::size_t SHORTEST_TAG = 8;        // "[mm:ss]" plus one more character
constexpr std::size_t SHORTEST_FRACTIONAL = 9; // room for two characters after the point
constexpr double SECONDS_PER_MINUTE = 60.0;
constexpr double THOUSANDTHS = 1000.0;

const char* const WHITE_SPACE = " \t\r\n";

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(WHITE_SPACE);
    if (first == std::string::npos) {
        return "";
    }
    const std::size_t last = text.find_last_not_of(WHITE_SPACE);
    return text.substr(first, last - first + 1);
}

std::size_t leadingDigits(const std::string& text) {
    std::size_t count = 0;
    while (count < text.size() && std::isdigit(static_cast<unsigned char>(text[count]))) {
        ++count;
    }
    return count;
}

// The fraction after the point: ".5" is tenths, ".45" hundredths, ".345" thousandths, as the
// tools that write these files mean them. Anything else counts as thousandths.
double fractionAt(const std::string& line, std::size_t position) {
    const std::string piece = line.substr(position, MAX_FRACTION_DIGITS);
    const int value = std::stoi(piece);
    double divisor = THOUSANDTHS;
    const std::size_t digits = leadingDigits(piece);
    if (digits > 0) {
        divisor = 1.0;
        for (std::size_t i = 0; i < digits; ++i) {
            divisor *= 10.0;
        }
    }
    return value / divisor;
}

} // namespace

bool LyricsParser::parseFile(const std::string& path) {
    lines.clear();
    std::ifstream file(path);
    if (!file) {
        logError("无法打开歌词文件: " + path);
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || parseHeaderTag(line)) {
            continue;
        }
        const std::vector<double> times = parseTimeTags(line);
        const std::size_t lastBracket = line.rfind(']');
        if (times.empty() || lastBracket == std::string::npos || lastBracket + 1 >= line.size()) {
            continue;
        }
        const std::string text = trimmed(line.substr(lastBracket + 1));
        if (text.empty()) {
            continue;
        }
        for (double time : times) {
            lines.push_back({time, text});
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const LyricLine& a, const LyricLine& b) { return a.time < b.time; });
    return true;
}

bool LyricsParser::parseHeaderTag(const std::string& line) {
    if (line[0] != '[') {
        return false;
    }
    const std::size_t colon = line.find(':');
    const std::size_t close = line.find(']');
    if (colon == std::string::npos || colon > close) {
        return false;
    }
    const std::string key = line.substr(1, colon - 1);
    const std::string value =
        line.substr(colon + 1, close == std::string::npos ? std::string::npos : close - colon - 1);
    struct HeaderField {
        const char* key;
        std::string* field;
    };
    const HeaderField fields[] = {
        {"ti", &title}, {"ar", &artist}, {"al", &album}, {"by", &by}, {"co", &co}};
    for (const HeaderField& header : fields) {
        if (key == header.key) {
            *header.field = value;
            return true;
        }
    }
    return key == "offset"; // recognised; playback does not shift the lyrics
}

std::vector<double> LyricsParser::parseTimeTags(const std::string& line) const {
    std::vector<double> times;
    for (std::size_t p = line.find('['); p != std::string::npos; p = line.find('[', p + 1)) {
        if (p + SHORTEST_TAG > line.size() || line[p + COLON_OFFSET] != ':') {
            continue;
        }
        try {
            const int minutes = std::stoi(line.substr(p + MINUTES_OFFSET, FIELD_DIGITS));
            const int seconds = std::stoi(line.substr(p + SECONDS_OFFSET, FIELD_DIGITS));
            double fraction = 0.0;
            if (p + SHORTEST_FRACTIONAL <= line.size() && line[p + POINT_OFFSET] == '.') {
                fraction = fractionAt(line, p + FRACTION_OFFSET);
            }
            times.push_back(minutes * SECONDS_PER_MINUTE + seconds + fraction);
        } catch (const std::exception& e) {
            logError(std::string("解析时间标签失败: ") + e.what());
        }
    }
    return times;
}

std::string LyricsParser::getLyricAt(double time) const {
    const int index = getLineIndexAt(time);
    return index < 0 ? std::string() : lines[static_cast<std::size_t>(index)].text;
}

int LyricsParser::getLineIndexAt(double time) const {
    auto after = std::upper_bound(lines.begin(), lines.end(), time,
                                  [](double t, const LyricLine& line) { return t < line.time; });
    return static_cast<int>(after - lines.begin()) - 1;
}

std::string LyricsParser::getAllText() const {
    std::string text;
    for (const LyricLine& line : lines) {
        text += line.text;
        text += '\n';
    }
    return text;
}
