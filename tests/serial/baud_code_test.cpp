#include "serial/baud_code.h"

#include <gtest/gtest.h>

namespace {

TEST(BaudCode, EveryRateOfTheTableAndNothingElse) {
    const struct {
        int baud;
        int code;
    } cases[] = {
        {75, 1},      {110, 2},     {134, 3},    {150, 4},     {300, 5},     {600, 6},
        {1200, 7},    {1800, 8},    {2400, 9},   {4800, 10},   {7200, 11},   {9600, 12},
        {19200, 13},  {38400, 14},  {57600, 15}, {115200, 16}, {230400, 17}, {460800, 18},
        {921600, 19}, {50, 0},      {0, 0},      {-9600, 0},   {14400, 0},   {9601, 0},
        {128000, 0},  {1843200, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serial::BaudCode(c.baud), c.code) << c.baud;
    }
}

} // namespace
