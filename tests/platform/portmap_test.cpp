#include "platform/portmap/portmap.h"

#include "tests/support/scoped_env.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using test_support::ScopedEnv;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;

// A fake machine: sysfs tty folder, /dev and the links folder under one temporary directory.
class PortmapFakeTree : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "portmap_test.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        top_ = pattern;
        roots_ = {(top_ / "sys/class/tty").string(), (top_ / "dev").string(),
                  (top_ / "links").string()};
        fs::create_directories(roots_.sysClassTty);
        fs::create_directories(roots_.dev);
        fs::create_directories(roots_.links);
    }
    void TearDown() override { fs::remove_all(top_); }

    // A sysfs entry; `hardware` adds the `device` link, `type` writes the UART type file.
    void AddTty(const std::string& name, bool hardware,
                const std::optional<std::string>& type = std::nullopt) {
        const fs::path dir = fs::path(roots_.sysClassTty) / name;
        fs::create_directories(dir);
        if (hardware) {
            fs::create_directory_symlink("../../../devices/platform/serial8250", dir / "device");
        }
        if (type) {
            std::ofstream(dir / "type") << *type;
        }
    }

    void AddLink(const std::string& name, const fs::path& target) {
        fs::create_symlink(target, fs::path(roots_.links) / name);
    }

    std::string Dev(const std::string& name) const { return roots_.dev + "/" + name; }
    std::string Link(const std::string& name) const { return roots_.links + "/" + name; }

    fs::path top_;
    portmap::Roots roots_;
};

auto IsEntry(const std::string& data, const std::string& name, const std::string& device) {
    return AllOf(Field("data", &portmap::Entry::data, data),
                 Field("name", &portmap::Entry::name, name),
                 Field("device", &portmap::Entry::device, device));
}

TEST_F(PortmapFakeTree, KernelDevicesAreNumberedByFamilyAndPlaceholdersSkipped) {
    AddTty("ttyS0", true, "4\n");  // 16550A: a real UART
    AddTty("ttyS1", true, "0\n");  // PORT_UNKNOWN placeholder
    AddTty("ttyS2", true);         // no type file: treated as no UART
    AddTty("ttyS3", true, "junk"); // unreadable type: no UART
    AddTty("ttyS4", false, "4\n"); // no hardware behind it
    AddTty("ttyS31", true, "4\n");
    AddTty("ttyUSB0", true);
    AddTty("ttyUSB3", true);
    AddTty("ttyACM1", true);
    AddTty("ttyAMA0", true);
    AddTty("tty0", false);          // virtual console
    AddTty("console", true);        // not a serial family
    AddTty("ttyXRUSB0", true);      // unknown family
    AddTty("ttySAC0", true, "4\n"); // prefix of ttyS but not a number after it
    AddTty("ttyUSB", true);
    AddTty("ttyUSBx", true);
    AddTty("ttyUSB01", true);                   // leading zero
    AddTty("ttyUSB32", true);                   // beyond the family's block
    AddTty("ttyUSB99999999999999999999", true); // would overflow
    AddTty("ttyACM-1", true);

    EXPECT_THAT(portmap::ReadPortMap(roots_),
                ElementsAre(IsEntry("COM1", Dev("ttyS0"), Dev("ttyS0")),
                            IsEntry("COM32", Dev("ttyS31"), Dev("ttyS31")),
                            IsEntry("COM33", Dev("ttyUSB0"), Dev("ttyUSB0")),
                            IsEntry("COM36", Dev("ttyUSB3"), Dev("ttyUSB3")),
                            IsEntry("COM66", Dev("ttyACM1"), Dev("ttyACM1")),
                            IsEntry("COM97", Dev("ttyAMA0"), Dev("ttyAMA0"))));
}

TEST_F(PortmapFakeTree, LinksAreListedAndReplaceKernelDevicesWithTheSameNumber) {
    AddTty("ttyS0", true, "4\n");
    AddTty("ttyUSB1", true); // COM34, replaced by the link below
    AddTty("ttyUSB2", true); // COM35, kept
    AddLink("com34", "/dev/pts/7");
    AddLink("com7", "/dev/pts/3");
    AddLink("com255", "../target");    // relative: shown against the links folder
    AddLink("com9", top_ / "missing"); // dangling: still listed
    for (const char* bad : {"com", "com0", "comx", "com7x", "COM3", "com07", "com256", "com-1",
                            "com99999999999999999999", "xcom5"}) {
        AddLink(bad, "/dev/pts/9");
    }
    std::ofstream(fs::path(roots_.links) / "com12") << "not a link";
    fs::create_directory(fs::path(roots_.links) / "com13");

    EXPECT_THAT(portmap::ReadPortMap(roots_),
                ElementsAre(IsEntry("COM1", Dev("ttyS0"), Dev("ttyS0")),
                            IsEntry("COM7", Link("com7"), "/dev/pts/3"),
                            IsEntry("COM9", Link("com9"), (top_ / "missing").string()),
                            IsEntry("COM34", Link("com34"), "/dev/pts/7"),
                            IsEntry("COM35", Dev("ttyUSB2"), Dev("ttyUSB2")),
                            IsEntry("COM255", Link("com255"), (top_ / "target").string())));
}

TEST_F(PortmapFakeTree, ALinksFolderOthersMayWriteNamesNoPorts) {
    AddLink("com7", "/dev/pts/3");
    for (const auto others : {fs::perms::group_write, fs::perms::others_write}) {
        fs::permissions(roots_.links, others, fs::perm_options::add);
        EXPECT_THAT(portmap::ReadPortMap(roots_), ::testing::IsEmpty())
            << "planted links are listed";
        fs::permissions(roots_.links, others, fs::perm_options::remove);
    }
    EXPECT_THAT(portmap::ReadPortMap(roots_),
                ElementsAre(IsEntry("COM7", Link("com7"), "/dev/pts/3")));
}

TEST_F(PortmapFakeTree, DeviceForComGivesThePathToOpen) {
    AddTty("ttyS0", true, "4\n");
    AddTty("ttyS1", true, "0\n");
    AddTty("ttyACM0", true);
    AddLink("com65", "/dev/pts/4"); // replaces ttyACM0
    AddLink("com3", "/dev/pts/5");

    const std::tuple<int, std::optional<std::string>> cases[] = {
        {1, Dev("ttyS0")}, {3, Link("com3")}, {65, Link("com65")}, {2, std::nullopt},
        {4, std::nullopt}, {0, std::nullopt}, {-1, std::nullopt},  {256, std::nullopt},
    };
    for (const auto& [com, expected] : cases) {
        EXPECT_EQ(portmap::DeviceForCom(com, roots_), expected) << "COM" << com;
    }
}

TEST_F(PortmapFakeTree, MissingOrUnreadableRootsGiveNoEntries) {
    AddTty("ttyUSB0", true);
    AddLink("com3", "/dev/pts/5");
    const std::string absent = (top_ / "absent").string();
    const std::string file = (top_ / "file").string();
    std::ofstream(file) << "x";

    const portmap::Roots cases[] = {
        {absent, absent, absent},
        {file, file, file},
        {"", "", ""},
    };
    for (const auto& roots : cases) {
        EXPECT_THAT(portmap::ReadPortMap(roots), ::testing::IsEmpty()) << roots.sysClassTty;
        EXPECT_EQ(portmap::DeviceForCom(33, roots), std::nullopt);
    }
    // One missing root does not hide the others.
    EXPECT_THAT(portmap::ReadPortMap({absent, roots_.dev, roots_.links}),
                ElementsAre(IsEntry("COM3", Link("com3"), "/dev/pts/5")));
    EXPECT_THAT(portmap::ReadPortMap({roots_.sysClassTty, roots_.dev, absent}),
                ElementsAre(IsEntry("COM33", Dev("ttyUSB0"), Dev("ttyUSB0"))));
}

TEST(PortmapDefaultRoots, LinksFolderFollowsXdgRuntimeDir) {
    const std::string fallback = "/tmp/serialcomm-" + std::to_string(getuid());
    const std::tuple<std::optional<std::string>, std::string> cases[] = {
        {"/run/user/1000", "/run/user/1000/serialcomm"},
        {"", fallback},
        {std::nullopt, fallback},
    };
    for (const auto& [xdg, links] : cases) {
        ScopedEnv env("XDG_RUNTIME_DIR", xdg);
        const portmap::Roots roots = portmap::DefaultRoots();
        EXPECT_EQ(roots.links, links) << xdg.value_or("(unset)");
        EXPECT_EQ(roots.sysClassTty, "/sys/class/tty");
        EXPECT_EQ(roots.dev, "/dev");
    }
}

} // namespace
