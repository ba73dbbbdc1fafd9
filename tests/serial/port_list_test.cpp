#include "serial/port_list.h"

#include "tests/fakes/fake_controls.h"
#include "tests/fakes/fake_port_map.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fakes::FakeComboBox;
using fakes::FakePortMap;
using serial::PortMapValue;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::string Zero(const std::string& text) {
    return text + std::string(1, '\0');
}

std::vector<int> Numbers(const std::vector<serial::ComPort>& ports) {
    std::vector<int> out;
    for (const auto& port : ports) {
        out.push_back(port.number);
    }
    return out;
}

TEST(ListComPorts, ReadsTheNumberAfterComInMapOrder) {
    const struct {
        const char* what;
        std::vector<std::string> data;
        std::vector<int> numbers;
    } cases[] = {
        {"plain", {Zero("COM3")}, {3}},
        {"lower case is upper-cased before the test", {Zero("com4")}, {4}},
        {"mixed case", {Zero("cOm5")}, {5}},
        {"no number", {Zero("COM")}, {0}},
        {"leading zero", {Zero("COM07")}, {7}},
        {"trailing text", {Zero("COM3A")}, {3}},
        {"negative", {Zero("COM-2")}, {-2}},
        {"other names are skipped", {Zero("LPT1"), Zero("XCOM5"), Zero("CO"), Zero("COM2")}, {2}},
        {"map order, duplicates kept", {Zero("COM9"), Zero("COM1"), Zero("COM9")}, {9, 1, 9}},
        {"data is read up to its first zero byte", {Zero("COM1") + "COM2"}, {1}},
        {"data starting with a zero byte is empty", {std::string(1, '\0') + "COM3"}, {}},
        {"data without a terminating zero", {"COM6"}, {6}},
        {"data filling all 512 bytes without a zero", {"COM8" + std::string(508, 'x')}, {8}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PortMapValue> values;
        for (const auto& d : c.data) {
            values.push_back({"\\Device\\Serial", d, ""});
        }
        FakePortMap map(values);
        std::vector<serial::ComPort> list;
        EXPECT_TRUE(serial::ListComPorts(list, map));
        EXPECT_THAT(Numbers(list), ElementsAreArray(c.numbers));
    }
}

TEST(ListComPorts, AValueThatDoesNotFitEndsTheListing) {
    const struct {
        const char* what;
        PortMapValue too_big;
    } cases[] = {
        {"data of 513 bytes", {"Serial", "COM4" + std::string(509, '\0'), ""}},
        {"name of 512 characters", {std::string(512, 'n'), Zero("COM4"), ""}},
        {"name of 600 characters", {std::string(600, 'n'), Zero("COM4"), ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakePortMap map(
            {{"a", Zero("COM1"), ""}, {"b", Zero("COM2"), ""}, c.too_big, {"d", Zero("COM3"), ""}});
        std::vector<serial::ComPort> list;
        EXPECT_TRUE(serial::ListComPorts(list, map));
        EXPECT_THAT(Numbers(list), ElementsAre(1, 2));
    }
    // The largest name that fits, with its terminating zero, is 511 characters.
    FakePortMap fits({{std::string(511, 'n'), Zero("COM4"), ""}});
    std::vector<serial::ComPort> list;
    serial::ListComPorts(list, fits);
    EXPECT_THAT(Numbers(list), ElementsAre(4));
}

TEST(ListComPorts, EmptiesTheListFirstAndTellsWhetherTheMapOpened) {
    std::vector<serial::ComPort> list{{9, "old"}};
    FakePortMap closed;
    closed.values = std::nullopt;
    EXPECT_FALSE(serial::ListComPorts(list, closed));
    EXPECT_THAT(list, IsEmpty());

    list = {{9, "old"}};
    FakePortMap empty;
    EXPECT_TRUE(serial::ListComPorts(list, empty));
    EXPECT_THAT(list, IsEmpty());
}

TEST(FillPortList, ReplacesTheItemsAndSelectsNothing) {
    FakeComboBox box({"COM9", "COM10"}, 1);
    FakePortMap map({{"a", Zero("COM3"), "/dev/ttyS0"},
                     {"b", Zero("com12"), "/dev/ttyUSB0"},
                     {"c", Zero("modem"), "/dev/ttyACM0"},
                     {"d", Zero("COM3"), ""},
                     {"e", Zero("COM-1"), "/dev/ttyS9"}});
    serial::FillPortList(box, map);
    EXPECT_THAT(box.items(), ElementsAre("COM3", "COM12", "COM3", "COM-1"));
    EXPECT_EQ(box.selectedIndex(), -1);
    EXPECT_EQ(box.toolTip(0), "/dev/ttyS0");
    EXPECT_EQ(box.toolTip(1), "/dev/ttyUSB0");
    EXPECT_EQ(box.toolTip(2), "");
    EXPECT_EQ(box.toolTip(3), "/dev/ttyS9");
}

TEST(FillPortList, AMapThatCannotBeOpenedLeavesTheBoxEmpty) {
    FakeComboBox box({"COM1"}, 0);
    FakePortMap map;
    map.values = std::nullopt;
    serial::FillPortList(box, map);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.selectedIndex(), -1);
}

TEST(FillPortList, EveryRefillReadsTheMapAgain) {
    FakeComboBox box;
    FakePortMap map = FakePortMap::WithPorts({"COM1"});
    serial::FillPortList(box, map);
    box.setSelectedIndex(0);
    map.values->push_back({"new", Zero("COM2"), ""});
    serial::FillPortList(box, map);
    EXPECT_EQ(map.reads, 2);
    EXPECT_THAT(box.items(), ElementsAre("COM1", "COM2"));
    EXPECT_EQ(box.selectedIndex(), -1);
}

} // namespace
