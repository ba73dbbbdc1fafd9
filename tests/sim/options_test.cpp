#include "sim/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

sim::ParsedOptions Parse(std::vector<std::string_view> args) {
    return sim::ParseOptions(args);
}

TEST(SimOptions, DefaultsToModule1AndSwitch1OnTheFirstFreePort) {
    const auto parsed = Parse({});
    ASSERT_TRUE(parsed.options);
    EXPECT_FALSE(parsed.options->com);
    EXPECT_EQ(parsed.options->modules, std::vector<frame::Byte>{1});
    EXPECT_EQ(parsed.options->switchAddress, 1);
    EXPECT_FALSE(parsed.options->quiet);
}

TEST(SimOptions, ReadsEveryArgument) {
    const auto parsed =
        Parse({"--com", "7", "--modules", "9,1-3,2", "--switch=247", "--quiet", "--list-ports"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->com, 7);
    EXPECT_EQ(parsed.options->modules, (std::vector<frame::Byte>{1, 2, 3, 9}));
    EXPECT_EQ(parsed.options->switchAddress, 247);
    EXPECT_TRUE(parsed.options->quiet);
    EXPECT_TRUE(parsed.options->listPorts);
}

TEST(SimOptions, RejectsBadArguments) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--com"},
        {"--com", "0"},
        {"--com", "256"},
        {"--com", "9x"},
        {"--modules", ""},
        {"--modules", "0"},
        {"--modules", "248"},
        {"--modules", "3-1"},
        {"--modules", "1,"},
        {"--modules", "1-"},
        {"--modules", "-1"},
        {"--switch", "0"},
        {"--quiet=yes"},
        {"--verbose"},
        {"extra"},
    };
    for (const auto& args : cases) {
        const auto parsed = Parse(args);
        EXPECT_FALSE(parsed.options) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(parsed.error.empty());
    }
}

} // namespace
