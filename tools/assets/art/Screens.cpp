// Full-screen pictures shared by the pages: the backdrop, the main menu's side panel, the lyrics
// view's mask and the two key-guide pages.
#include "Artwork.h"

#include <algorithm>
#include <vector>

namespace art {

namespace {

constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
constexpr int TOP_BAR_H = 30;

void backdrop(const ArtOutput& out) {
    Canvas c(SCREEN_W, SCREEN_H);
    const Shape screen = shape::box(0, 0, SCREEN_W, SCREEN_H);
    c.fill(screen, paint::linear(0, 0, rgb(27, 27, 32), 0, SCREEN_H, rgb(11, 11, 13)));
    c.fill(screen, paint::radial(610, -60, 460, rgb(150, 12, 18, 0.20f), rgb(150, 12, 18, 0)));
    c.fill(screen, paint::radial(-40, 520, 380, rgb(60, 60, 80, 0.10f), rgb(60, 60, 80, 0)));
    // Faint grooves in the lower right corner.
    for (int r = 150; r < 420; r += 9) {
        c.fill(shape::ring(650, 500, static_cast<float>(r), 0.5f), rgb(255, 255, 255, 0.018f));
    }
    // The status strip under the top bar's play icon and battery gauge.
    c.fill(shape::box(0, 0, SCREEN_W, TOP_BAR_H), rgb(0, 0, 0, 0.35f));
    c.fill(shape::box(0, TOP_BAR_H - 1, SCREEN_W, 1), rgb(255, 255, 255, 0.07f));
    out.plain(c, "icons/bg.png");
}

void sidePanel(const ArtOutput& out) {
    constexpr int W = 400, H = 466;
    Canvas c(W, H);
    const Shape panel = shape::box(0, 0, W + 20, H, 14); // square on the right, off screen
    c.fill(panel, paint::linear(0, 0, rgb(40, 40, 46, 0.97f), 0, H, rgb(24, 24, 28, 0.97f)));
    c.fill(shape::outline(panel, 0.5f), rgb(255, 255, 255, 0.10f));
    c.fill(shape::box(0, 14, 3, H - 28, 1.5f), palette::RED);
    // A quiet emblem at the bottom, below the three entries.
    for (int r = 22; r <= 70; r += 6) {
        c.fill(shape::ring(200, 340, static_cast<float>(r), 0.6f), rgb(255, 255, 255, 0.05f));
    }
    c.fill(shape::circle(200, 340, 16), rgb(255, 0, 0, 0.35f));
    c.fill(shape::circle(200, 340, 3), rgb(24, 24, 28));
    const Font label(out.uiFont(), 14);
    c.text(label, "MUSIC PLAYER", 200, 425, rgb(150, 150, 150, 0.6f), Align::CENTER);
    out.plain(c, "icons/tbg.png");
}

void lyricsMask(const ArtOutput& out) {
    Canvas c(SCREEN_W, SCREEN_H);
    c.fill(shape::box(0, 0, SCREEN_W, SCREEN_H), rgb(0, 0, 0, 0.45f));
    c.fill(shape::box(0, 0, SCREEN_W, 84),
           paint::linear(0, 0, rgb(0, 0, 0, 0.35f), 0, 84, rgb(0, 0, 0, 0)));
    const Shape panel = shape::box(28, 86, 584, 298, 14);
    c.fill(panel, rgb(255, 255, 255, 0.035f));
    c.fill(shape::outline(panel, 0.5f), rgb(255, 255, 255, 0.07f));
    // The reading line: the current lyric comes to rest with its top at y 217.
    c.fill(shape::box(40, 212, 560, 38, 8), paint::stops(40, 0, 600, 0,
                                                         {{0.0f, rgb(255, 30, 30, 0)},
                                                          {0.5f, rgb(255, 30, 30, 0.13f)},
                                                          {1.0f, rgb(255, 30, 30, 0)}}));
    c.fill(shape::box(34, 221, 3, 20, 1.5f), palette::RED);
    c.fill(shape::box(603, 221, 3, 20, 1.5f), palette::RED);
    out.plain(c, "icons/qbgz.png");
}

// One line of a key guide: the buttons, then what they do in Chinese and in English.
struct GuideRow {
    std::vector<std::string> buttons;
    std::string chinese;
    std::string english;
};

struct GuideSection {
    std::string title;
    std::vector<GuideRow> rows;
};

constexpr int GUIDE_ROW_H = 25;
constexpr int GUIDE_TITLE_H = 34;
constexpr int GUIDE_COLUMN_W = 284;

float drawBadges(Canvas& c, const Font& font, const std::vector<std::string>& buttons, float x,
                 float y) {
    for (const std::string& button : buttons) {
        const float w = std::max(22.0f, static_cast<float>(font.width(button)) + 12);
        const Shape badge = shape::box(x, y + 2, w, 19, 9.5f);
        c.fill(badge, rgb(64, 64, 72));
        c.fill(shape::outline(badge, 0.5f), rgb(255, 255, 255, 0.18f));
        c.text(font, button, x + w / 2, y + 2 + (19 - font.height()) / 2.0f, palette::WHITE,
               Align::CENTER);
        x += w + 4;
    }
    return x;
}

float drawSection(Canvas& c, const ArtOutput& out, const GuideSection& section, float x, float y) {
    const Font title(out.uiFont(), 17);
    const Font badge(out.uiFont(), 12);
    const Font chinese(out.uiFont(), 15);
    const Font english(out.uiFont(), 13);
    const float h = GUIDE_TITLE_H + GUIDE_ROW_H * section.rows.size() + 8;
    const Shape card = shape::box(x, y, GUIDE_COLUMN_W, h, 10);
    c.fill(card, rgb(255, 255, 255, 0.045f));
    c.fill(shape::outline(card, 0.5f), rgb(255, 255, 255, 0.08f));
    c.fill(shape::box(x, y + 10, 3, 16, 1.5f), palette::RED);
    c.text(title, section.title, x + 14, y + 7, palette::WHITE);
    float rowY = y + GUIDE_TITLE_H;
    for (const GuideRow& row : section.rows) {
        const float badgesEnd = drawBadges(c, badge, row.buttons, x + 12, rowY);
        c.text(chinese, row.chinese, std::max(x + 98, badgesEnd + 6), rowY + 2, rgb(235, 235, 235));
        c.text(english, row.english, x + GUIDE_COLUMN_W - 10, rowY + 4, rgb(140, 140, 140),
               Align::RIGHT);
        rowY += GUIDE_ROW_H;
    }
    return y + h + 10;
}

void keyGuide(const ArtOutput& out, const std::string& file, int page,
              const std::vector<GuideSection>& left, const std::vector<GuideSection>& right) {
    Canvas c(SCREEN_W, SCREEN_H);
    c.fill(shape::box(0, 0, SCREEN_W, SCREEN_H),
           paint::linear(0, 0, rgb(26, 26, 31), 0, SCREEN_H, rgb(12, 12, 14)));
    c.fill(shape::box(0, 0, SCREEN_W, SCREEN_H),
           paint::radial(620, -40, 420, rgb(150, 12, 18, 0.16f), rgb(150, 12, 18, 0)));
    const Font heading(out.uiFont(), 24);
    const Font small(out.uiFont(), 14);
    c.text(heading, "按键说明", 30, 14, palette::WHITE);
    c.text(small, "KEY GUIDE", 30 + heading.width("按键说明") + 12, 24, rgb(150, 150, 150));
    c.fill(shape::box(30, 48, 44, 3, 1.5f), palette::RED);
    c.text(small, std::to_string(page) + " / 2", 610, 22, rgb(150, 150, 150), Align::RIGHT);

    float y = 64;
    for (const GuideSection& section : left) {
        y = drawSection(c, out, section, 30, y);
    }
    y = 64;
    for (const GuideSection& section : right) {
        y = drawSection(c, out, section, 326, y);
    }
    const Font badge(out.uiFont(), 12);
    const float x = drawBadges(c, badge, {"←", "→"}, 190, 447);
    c.text(small, "翻页 Page", x + 4, 449, rgb(150, 150, 150));
    const float x2 = drawBadges(c, badge, {"A", "B"}, 350, 447);
    c.text(small, "关闭 Close", x2 + 4, 449, rgb(150, 150, 150));
    out.plain(c, file);
}

void keyGuides(const ArtOutput& out) {
    keyGuide(out, "icons/1.png", 1,
             {{"主菜单  Main menu",
               {{{"↑", "↓"}, "选择", "Select"},
                {{"A"}, "打开", "Open"},
                {{"MENU"}, "侧边菜单", "Side menu"},
                {{"L1", "R1"}, "同时按: 刷新", "Both: rescan"}}},
              {"列表  Lists",
               {{{"↑", "↓"}, "移动", "Move"},
                {{"L1", "R1"}, "翻页", "Page up / down"},
                {{"A"}, "播放 / 打开", "Play / open"},
                {{"Y"}, "收藏", "Favourite"},
                {{"START"}, "删除收藏", "Remove favourite"},
                {{"B"}, "返回", "Back"}}}},
             {{"专辑  Albums",
               {{{"←", "→"}, "切换专辑", "Browse"},
                {{"L1", "R1"}, "跳过 5 张", "Jump by 5"},
                {{"A"}, "打开专辑", "Open album"},
                {{"B"}, "返回", "Back"}}},
              {"设置  Settings",
               {{{"↑", "↓"}, "选择项目", "Choose a row"},
                {{"←", "→"}, "更改", "Change"},
                {{"B"}, "返回", "Back"}}},
              {"任意页面  Anywhere",
               {{{"L2"}, "播放 / 暂停", "Play / pause"},
                {{"START", "SELECT"}, "同时按: 退出", "Both: quit"}}}});
    keyGuide(out, "icons/2.png", 2,
             {{"正在播放  Now playing",
               {{{"A"}, "播放 / 暂停", "Play / pause"},
                {{"X"}, "停止", "Stop"},
                {{"L1", "R1"}, "上一首 / 下一首", "Prev / next"},
                {{"←", "→"}, "快退 / 快进", "Seek 5 s"},
                {{"↑", "↓"}, "音量", "Volume"},
                {{"Y"}, "收藏", "Favourite"},
                {{"START"}, "全屏歌词", "Lyrics"},
                {{"B"}, "返回", "Back"}}},
              {"歌词  Lyrics",
               {{{"A"}, "播放 / 暂停", "Play / pause"},
                {{"L1", "R1"}, "切歌", "Prev / next"},
                {{"B"}, "关闭歌词", "Close"}}}},
             {{"均衡器  Equalizer",
               {{{"L1", "R1"}, "切换预设", "Preset"},
                {{"Y"}, "编辑曲线", "Edit curve"},
                {{"←", "→"}, "编辑: 频段", "Edit: band"},
                {{"↑", "↓"}, "编辑: 增益", "Edit: gain"},
                {{"A"}, "保存曲线", "Save as custom"},
                {{"B"}, "取消 / 返回", "Cancel / back"}}},
              {"屏幕  Screen",
               {{{"START"}, "唤醒屏幕", "Wake screen"}, {{"MENU"}, "侧边菜单", "Side menu"}}}});
}

} // namespace

void drawScreens(const ArtOutput& out) {
    backdrop(out);
    sidePanel(out);
    lyricsMask(out);
    keyGuides(out);
}

} // namespace art
