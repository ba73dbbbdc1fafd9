#include "ui/scrollback.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <deque>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace {

using Cut = ui::Scrollback::Cut;

// A log as the rule sees it: line lengths, oldest first, the last being the unfinished line.
struct Log {
    std::deque<std::size_t> lines;

    std::size_t length() const {
        return std::accumulate(lines.begin(), lines.end(), std::size_t{0});
    }

    // Yields the line lengths and counts how many were asked for.
    ui::Scrollback::LineLengths Reader(std::size_t& asked) const {
        return [this, &asked, next = std::size_t{0}]() mutable -> std::optional<std::size_t> {
            ++asked;
            return next < lines.size() ? std::optional(lines[next++]) : std::nullopt;
        };
    }
};

struct PlanCase {
    std::string name;
    std::vector<std::size_t> lines;
    std::size_t incoming;
    Cut expected;
};

TEST(Scrollback, PlansTheFewestOldestWholeLinesDownToTheLowWaterMark) {
    const ui::Scrollback rule(100, 75);
    const std::vector<PlanCase> cases{
        {"fits exactly", {30, 30, 30, 0}, 10, {0, 0}},
        {"empty log, small text", {}, 10, {0, 0}},
        {"one past: one line reaches low water", {30, 30, 31, 0}, 10, {1, 30}},
        {"short lines: as many as it takes", {10, 10, 10, 10, 10, 10, 10, 10, 10, 1}, 10, {3, 30}},
        {"a line longer than needed goes whole", {60, 31, 0}, 10, {1, 60}},
        {"the unfinished last line stays", {20, 75}, 10, {1, 20}},
        {"text longer than the maximum: all but the last line", {40, 40, 1}, 150, {2, 80}},
        {"text longer than the maximum on an empty log", {0}, 150, {0, 0}},
    };
    for (const auto& c : cases) {
        Log log{{c.lines.begin(), c.lines.end()}};
        std::size_t asked = 0;
        EXPECT_EQ(rule.Plan(log.length(), c.incoming, log.Reader(asked)), c.expected) << c.name;
        // It reads no further than one line past its cut.
        EXPECT_LE(asked, c.expected.lines + 2) << c.name;
    }
}

TEST(Scrollback, DefaultLowWaterIsThreeQuartersAndNeverAboveTheMaximum) {
    EXPECT_EQ(ui::Scrollback(64).lowWater(), 48u);
    EXPECT_EQ(ui::Scrollback(64, 500).lowWater(), 64u);
    EXPECT_FALSE(ui::Scrollback(64).MustCut(60, 4));
    EXPECT_TRUE(ui::Scrollback(64).MustCut(60, 5));
    EXPECT_TRUE(ui::Scrollback(64).MustCut(0, 65));
}

// A log that gets line after line stays under its maximum, always ends with the newest line,
// and is cut rarely: once per (maximum - low water) characters appended, roughly.
TEST(Scrollback, AppendingForeverStaysBoundedAndCutsRarely) {
    for (const std::size_t line : {3, 28, 90, 200}) {
        const ui::Scrollback rule(1000, 750);
        Log log{{0}}; // an empty text widget: one empty, unfinished line
        std::size_t cuts = 0;
        std::size_t appended = 0;
        for (int i = 0; i < 20000; ++i) {
            std::size_t asked = 0;
            const Cut cut = rule.Plan(log.length(), line, log.Reader(asked));
            if (cut.lines > 0) {
                ++cuts;
                std::size_t removed = 0;
                for (std::size_t k = 0; k < cut.lines; ++k) {
                    removed += log.lines.front();
                    log.lines.pop_front();
                }
                ASSERT_EQ(removed, cut.characters);
            }
            // The text ends with its line break: the line is finished, a new empty one follows.
            log.lines.back() += line;
            log.lines.push_back(0);
            appended += line;
            ASSERT_LE(log.length(), rule.maximum()) << "line " << line << ", append " << i;
            ASSERT_GE(log.lines.size(), 2u);
            ASSERT_EQ(log.lines[log.lines.size() - 2], line);
        }
        EXPECT_LE(cuts, appended / (250 - line) + 1) << "line " << line;
        EXPECT_GT(cuts, 0u);
    }
}

} // namespace
