#include "serial/pcomm_binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kUnavailable = serial::PcommBinding::kUnavailable;

// What the stand-in library functions were called with.
std::vector<std::string>* g_library_calls = nullptr;

void Called(const std::string& what) {
    if (g_library_calls != nullptr) {
        g_library_calls->push_back(what);
    }
}

int LibOpen(int port) {
    Called("sio_open " + std::to_string(port));
    return 0;
}
int LibIoctl(int port, int baud, int mode) {
    Called("sio_ioctl " + std::to_string(port) + " " + std::to_string(baud) + " " +
           std::to_string(mode));
    return 11;
}
int LibTimeouts(int port, int total, int interval) {
    Called("sio_SetReadTimeouts " + std::to_string(port) + " " + std::to_string(total) + " " +
           std::to_string(interval));
    return 12;
}
int LibIqueue(int port) {
    Called("sio_iqueue " + std::to_string(port));
    return 13;
}
int LibRead(int port, char* buf, int len) {
    Called("sio_read " + std::to_string(port) + " " + std::to_string(len));
    buf[0] = 'r';
    return 1;
}
int LibWrite(int port, char* buf, int len) {
    Called("sio_write " + std::to_string(port) + " " + std::string(buf, static_cast<size_t>(len)));
    return len;
}
int LibClose(int port) {
    Called("sio_close " + std::to_string(port));
    return 14;
}

template <typename Fn> void* Address(Fn* fn) {
    return reinterpret_cast<void*>(fn);
}

class FakeLoader : public serial::LibraryLoader {
  public:
    void* Open(const std::string& path) override {
        opened.push_back(path);
        return files.contains(path) ? &handle_ : nullptr;
    }
    void* Symbol(void* library, const char* name) override {
        EXPECT_EQ(library, &handle_);
        looked_up.push_back(name);
        if (missing.contains(name)) {
            return nullptr;
        }
        const auto it = exports_.find(name);
        return it == exports_.end() ? nullptr : it->second;
    }

    std::set<std::string> files;   // paths that hold the library
    std::set<std::string> missing; // functions the library lacks
    std::vector<std::string> opened;
    std::vector<std::string> looked_up;

  private:
    int handle_ = 0;
    std::map<std::string, void*> exports_{
        {"sio_open", Address(&LibOpen)},
        {"sio_ioctl", Address(&LibIoctl)},
        {"sio_SetReadTimeouts", Address(&LibTimeouts)},
        {"sio_iqueue", Address(&LibIqueue)},
        {"sio_read", Address(&LibRead)},
        {"sio_write", Address(&LibWrite)},
        {"sio_close", Address(&LibClose)},
    };
};

class PcommBinding : public ::testing::Test {
  protected:
    void SetUp() override { g_library_calls = &library_calls; }
    void TearDown() override { g_library_calls = nullptr; }

    const std::string first = "/opt/x/DLL/PCOMM.DLL";
    const std::string second = "/DLL/PCOMM.DLL";
    FakeLoader loader;
    std::vector<std::string> fatal;
    std::vector<std::string> library_calls;
    serial::PcommBinding pcomm{loader, serial::LibraryCandidates("/opt/x"),
                               [this](const std::string& message) { fatal.push_back(message); }};
};

TEST(LibraryCandidates, BelowTheProgramFolderThenFromTheRoot) {
    const std::vector<std::string> expected{"/opt/x/DLL/PCOMM.DLL", "/DLL/PCOMM.DLL"};
    EXPECT_EQ(serial::LibraryCandidates("/opt/x"), expected);
    EXPECT_EQ(serial::LibraryCandidates("/opt/x/"), expected);
}

TEST_F(PcommBinding, NothingIsLoadedBeforeTheFirstCall) {
    EXPECT_THAT(loader.opened, IsEmpty());
    EXPECT_THAT(loader.looked_up, IsEmpty());
}

TEST_F(PcommBinding, FunctionsAreLookedUpOneByOneAtFirstUse) {
    loader.files = {first};
    EXPECT_EQ(pcomm.sio_open(3), 0);
    EXPECT_THAT(loader.opened, ElementsAre(first));
    EXPECT_THAT(loader.looked_up, ElementsAre("sio_open"));
    pcomm.sio_open(4);
    char data[] = "ab";
    pcomm.sio_write(4, data, 2);
    EXPECT_THAT(loader.opened, ElementsAre(first));
    EXPECT_THAT(loader.looked_up, ElementsAre("sio_open", "sio_write"));
    EXPECT_THAT(fatal, IsEmpty());
}

TEST_F(PcommBinding, EveryCallReachesTheLibraryWithItsArgumentsAndResult) {
    loader.files = {second}; // found at the second place
    char out[] = "xyz";
    char in[4] = {};
    EXPECT_EQ(pcomm.sio_open(7), 0);
    EXPECT_EQ(pcomm.sio_ioctl(7, 12, 3), 11);
    EXPECT_EQ(pcomm.sio_SetReadTimeouts(7, 1000, 0), 12);
    EXPECT_EQ(pcomm.sio_iqueue(7), 13);
    EXPECT_EQ(pcomm.sio_read(7, in, 4), 1);
    EXPECT_EQ(in[0], 'r');
    EXPECT_EQ(pcomm.sio_write(7, out, 3), 3);
    EXPECT_EQ(pcomm.sio_close(7), 14);
    EXPECT_THAT(library_calls,
                ElementsAre("sio_open 7", "sio_ioctl 7 12 3", "sio_SetReadTimeouts 7 1000 0",
                            "sio_iqueue 7", "sio_read 7 4", "sio_write 7 xyz", "sio_close 7"));
    EXPECT_THAT(loader.opened, ElementsAre(first, second));
    EXPECT_THAT(fatal, IsEmpty());
}

TEST_F(PcommBinding, MissingLibraryIsReportedOnceNamingBothPlaces) {
    EXPECT_EQ(pcomm.sio_open(3), kUnavailable);
    EXPECT_THAT(fatal, ElementsAre("Cannot load sio_open from DLL/PCOMM.DLL (tried "
                                   "/opt/x/DLL/PCOMM.DLL, /DLL/PCOMM.DLL)"));
    EXPECT_THAT(loader.opened, ElementsAre(first, second));

    // A poll tick under the open box must not stack a second box or ask again.
    char data[] = "a";
    EXPECT_EQ(pcomm.sio_iqueue(3), kUnavailable);
    EXPECT_EQ(pcomm.sio_write(3, data, 1), kUnavailable);
    EXPECT_EQ(pcomm.sio_open(3), kUnavailable);
    EXPECT_EQ(pcomm.sio_close(3), kUnavailable);
    EXPECT_EQ(fatal.size(), 1u);
    EXPECT_EQ(loader.opened.size(), 2u);
    EXPECT_THAT(loader.looked_up, IsEmpty());
    EXPECT_THAT(library_calls, IsEmpty());
}

TEST_F(PcommBinding, MissingFunctionIsReportedOnceNamingItAndTheLoadedFile) {
    loader.files = {first, second};
    loader.missing = {"sio_iqueue"};
    EXPECT_EQ(pcomm.sio_open(3), 0);
    EXPECT_EQ(pcomm.sio_iqueue(3), kUnavailable);
    EXPECT_THAT(
        fatal,
        ElementsAre("Cannot load sio_iqueue from DLL/PCOMM.DLL (tried /opt/x/DLL/PCOMM.DLL)"));

    EXPECT_EQ(pcomm.sio_iqueue(3), kUnavailable);
    EXPECT_EQ(pcomm.sio_close(3), kUnavailable);
    EXPECT_EQ(pcomm.sio_open(3), kUnavailable);
    EXPECT_EQ(fatal.size(), 1u);
    EXPECT_THAT(loader.opened, ElementsAre(first));
    EXPECT_THAT(loader.looked_up, ElementsAre("sio_open", "sio_iqueue"));
    EXPECT_THAT(library_calls, ElementsAre("sio_open 3"));
}

} // namespace
