#include "library/LyricsParser.h"

#include "support/ScratchDir.h"
#include "support/StderrCapture.h"

#include <gtest/gtest.h>

namespace {

// Parses the text as a whole .lrc file.
LyricsParser parsed(ScratchDir& scratch, const std::string& text) {
    scratch.writeFile("song.lrc", text);
    LyricsParser parser;
    EXPECT_TRUE(parser.parseFile("song.lrc"));
    return parser;
}

struct Timed {
    double time;
    std::string text;
};

void expectLines(const LyricsParser& parser, const std::vector<Timed>& expected) {
    ASSERT_EQ(parser.getLines().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(parser.getLines()[i].time, expected[i].time, 1e-9) << i;
        EXPECT_EQ(parser.getLines()[i].text, expected[i].text) << i;
    }
}

} // namespace

TEST(LyricsParserTest, TimeTagsAndFractions) {
    ScratchDir scratch;
    struct Case {
        const char* line;
        std::vector<Timed> lines;
    };
    const Case cases[] = {
        {"[00:12.345]Hello", {{12.345, "Hello"}}},
        {"[01:23.45]Hundredths", {{83.45, "Hundredths"}}},
        {"[00:02.5]Tenths", {{2.5, "Tenths"}}},
        {"[00:05.000][00:10.000]Chorus", {{5.0, "Chorus"}, {10.0, "Chorus"}}},
        {"   [00:01.000] padded \r", {{1.0, "padded"}}},
        {"[00:01.000]see [note]", {}},
        {"[00:01.000]   \t", {}},
        {"[ar:Someone]", {}},
        {"[12:3", {}},
        {"[xx:yy.zzz][00:04.000]Still here", {{4.0, "Still here"}}}, // with an error line
    };
    StderrCapture errors;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        expectLines(parsed(scratch, std::string(c.line) + "\n"), c.lines);
    }
}

TEST(LyricsParserTest, CurrentLineByTime) {
    ScratchDir scratch;
    LyricsParser parser =
        parsed(scratch, "[00:10.000]second\n\n[00:05.000]first\n[00:20.000]third\n");
    expectLines(parser, {{5.0, "first"}, {10.0, "second"}, {20.0, "third"}});
    EXPECT_EQ(parser.getLyricAt(4.9), "");
    EXPECT_EQ(parser.getLineIndexAt(4.9), -1);
    EXPECT_EQ(parser.getLyricAt(5.0), "first");
    EXPECT_EQ(parser.getLineIndexAt(9.999), 0);
    EXPECT_EQ(parser.getLineIndexAt(10.0), 1);
    EXPECT_EQ(parser.getLyricAt(60.0), "third");
    EXPECT_EQ(parser.getAllText(), "first\nsecond\nthird\n");

    StderrCapture errors; // a missing file clears the lines
    EXPECT_FALSE(parser.parseFile("absent.lrc"));
    EXPECT_NE(errors.take(), "");
    EXPECT_TRUE(parser.getLines().empty());
}
