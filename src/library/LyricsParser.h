#pragma once

#include <string>
#include <vector>

// One timed line of a lyrics file.
struct LyricLine {
    double time = 0.0; // seconds
    std::string text;  // trimmed
};

// Reads a .lrc lyrics file into timed lines and tells which line belongs to a playback time.
// Understands the ti/ar/al/by/co/offset header tags and any number of time tags on a line.
class LyricsParser {
public:
    // False when the file cannot be opened. Clears the lines; a header tag that the new file
    // lacks keeps its earlier value.
    bool parseFile(const std::string& path);

    // The text of the last line starting at or before time, "" when there is none.
    std::string getLyricAt(double time) const;
    // Its index in getLines(), -1 when there is none.
    int getLineIndexAt(double time) const;
    // Every line's text followed by "\n".
    std::string getAllText() const;
    const std::vector<LyricLine>& getLines() const { return lines; }

    const std::string& getTitle() const { return title; }
    const std::string& getArtist() const { return artist; }
    const std::string& getAlbum() const { return album; }
    const std::string& getBy() const { return by; }
    const std::string& getCo() const { return co; }

private:
    bool parseHeaderTag(const std::string& line);
    std::vector<double> parseTimeTags(const std::string& line) const;

    std::vector<LyricLine> lines; // sorted by time after a parse
    std::string title;
    std::string artist;
    std::string album;
    std::string by;
    std::string co;
};
