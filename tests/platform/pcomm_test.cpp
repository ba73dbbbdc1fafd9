// PCOMM.DLL over real pseudo-terminals, loaded with dlopen the way the console loads it.
#include "platform/pcomm/sio.h"

#include "tests/platform/termios2_probe.h"
#include "tests/support/pty_link.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using test_support::PtyLink;

// Beyond every kernel device block, so only the test's links can name them.
constexpr int kCom = 201;
constexpr int kUnknownCom = 250;

// The library's entry points, resolved by name.
struct Sio {
    decltype(&sio_open) open;
    decltype(&sio_ioctl) ioctl;
    decltype(&sio_SetReadTimeouts) setReadTimeouts;
    decltype(&sio_iqueue) iqueue;
    decltype(&sio_read) read;
    decltype(&sio_write) write;
    decltype(&sio_close) close;
};

struct Loaded {
    void* handle = nullptr;
    Sio sio{};
    std::string error;
};

template <typename Fn> void Resolve(Loaded& loaded, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(dlsym(loaded.handle, name));
    if (fn == nullptr) {
        loaded.error += std::string(" missing export ") + name + ";";
    }
}

// Loaded once per process and never unloaded, as in the console.
const Loaded& Library() {
    static const Loaded loaded = [] {
        Loaded l;
        l.handle = dlopen(PCOMM_DLL_PATH, RTLD_NOW | RTLD_LOCAL);
        if (l.handle == nullptr) {
            l.error = dlerror();
            return l;
        }
        Resolve(l, l.sio.open, "sio_open");
        Resolve(l, l.sio.ioctl, "sio_ioctl");
        Resolve(l, l.sio.setReadTimeouts, "sio_SetReadTimeouts");
        Resolve(l, l.sio.iqueue, "sio_iqueue");
        Resolve(l, l.sio.read, "sio_read");
        Resolve(l, l.sio.write, "sio_write");
        Resolve(l, l.sio.close, "sio_close");
        return l;
    }();
    return loaded;
}

// Runs fn on another thread; a hang beyond `limit` ends the test program, since the stuck
// thread cannot be stopped.
template <typename Fn> auto WithinWatchdog(std::chrono::seconds limit, Fn fn) {
    auto result = std::async(std::launch::async, std::move(fn));
    if (result.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "watchdog: still running after %llds\n",
                     static_cast<long long>(limit.count()));
        std::abort();
    }
    return result.get();
}

// Writes one int to a pipe / reads one back (-100 when the other side went away).
void Send(int fd, int value) {
    ASSERT_EQ(write(fd, &value, sizeof value), ssize_t{sizeof value});
}
int Receive(int fd) {
    int value = -100;
    return read(fd, &value, sizeof value) == ssize_t{sizeof value} ? value : -100;
}

// Open file descriptors of this process, to catch a device fd left behind.
size_t OpenFdCount() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

TEST(PcommExports, OnlyTheCInterfaceIsExported) {
    const Loaded& lib = Library();
    ASSERT_TRUE(lib.error.empty()) << lib.error;
    // Internals linked into the library stay hidden.
    for (const char* inner :
         {"_ZN7portmap11ReadPortMapERKNS_5RootsE", "_ZN7portmap12DeviceForComEiRKNS_5RootsE",
          "_ZN5pcomm10LookupBaudEi", "_ZN5pcomm13SetCustomRateEij"}) {
        EXPECT_EQ(dlsym(lib.handle, inner), nullptr) << inner;
    }
}

class PcommPty : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Library().error.empty()) << Library().error; }
    void TearDown() override {
        for (const int port : {kCom, kCom + 1, kCom + 2, kCom + 3}) {
            sio.close(port);
        }
    }

    // Waits until the port reports `count` bytes waiting (or an error); gives the last answer.
    int WaitForInput(int count) {
        int waiting = 0;
        for (int i = 0; i < 500; ++i) {
            waiting = sio.iqueue(kCom);
            if (waiting < 0 || waiting >= count) {
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        return waiting;
    }

    termios LineSettings() {
        termios tio{};
        EXPECT_EQ(tcgetattr(link.masterFd(), &tio), 0);
        return tio;
    }

    const Sio& sio = Library().sio;
    PtyLink link{kCom};
};

TEST_F(PcommPty, OpenMakesARaw9600LineAndBytesPassUnchangedBothWays) {
    ASSERT_EQ(sio.open(kCom), SIO_OK);

    const termios tio = LineSettings();
    EXPECT_EQ(cfgetospeed(&tio), speed_t{B9600});
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    EXPECT_EQ(tio.c_cflag & (CRTSCTS | CSTOPB | PARENB), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(tio.c_cc[VMIN], 0);
    EXPECT_EQ(tio.c_cc[VTIME], 0);

    ASSERT_EQ(sio.ioctl(kCom, SIO_B9600, SIO_BIT8 | SIO_STOP1 | SIO_P_NONE), SIO_OK);

    // Control characters a cooked line would translate or swallow.
    std::string frame("\x02"
                      "01ON\r\n\x00\x11\x13\x7f\xff\x03",
                      13);
    ASSERT_EQ(sio.write(kCom, frame.data(), static_cast<int>(frame.size())),
              static_cast<int>(frame.size()));
    EXPECT_EQ(link.ReadMaster(frame.size()), frame);

    const std::string reply("\x02"
                            "OK\r\x00\x13\x03",
                            7);
    ASSERT_EQ(link.WriteMaster(reply), reply.size());
    ASSERT_EQ(WaitForInput(static_cast<int>(reply.size())), static_cast<int>(reply.size()));

    // A short buffer takes the first bytes; the rest stay queued for the next read.
    std::array<char, 64> buf{};
    ASSERT_EQ(sio.read(kCom, buf.data(), 3), 3);
    EXPECT_EQ(std::string(buf.data(), 3), reply.substr(0, 3));
    EXPECT_EQ(sio.iqueue(kCom), 4);
    ASSERT_EQ(sio.read(kCom, buf.data(), static_cast<int>(buf.size())), 4);
    EXPECT_EQ(std::string(buf.data(), 4), reply.substr(3));

    // Nothing waiting: no wait, no error.
    EXPECT_EQ(sio.read(kCom, buf.data(), static_cast<int>(buf.size())), 0);
    EXPECT_EQ(sio.iqueue(kCom), 0);
    EXPECT_EQ(sio.close(kCom), SIO_OK);
}

TEST_F(PcommPty, BadArgumentsAreRejected) {
    ASSERT_EQ(sio.open(kCom), SIO_OK);
    char byte = 'x';
    EXPECT_EQ(sio.read(kCom, nullptr, 1), SIO_ERR_BAD_PARAM);
    EXPECT_EQ(sio.read(kCom, &byte, -1), SIO_ERR_BAD_PARAM);
    EXPECT_EQ(sio.write(kCom, nullptr, 1), SIO_ERR_BAD_PARAM);
    EXPECT_EQ(sio.write(kCom, &byte, -1), SIO_ERR_BAD_PARAM);
    EXPECT_EQ(sio.setReadTimeouts(kCom, -1, 0), SIO_ERR_BAD_PARAM);
    EXPECT_EQ(sio.setReadTimeouts(kCom, 0, -1), SIO_ERR_BAD_PARAM);
    EXPECT_EQ(sio.read(kCom, &byte, 0), 0);
    EXPECT_EQ(sio.write(kCom, &byte, 0), 0);
    EXPECT_EQ(sio.setReadTimeouts(kCom, 500, 50), SIO_OK);
    // None of it sent anything.
    EXPECT_EQ(link.ReadMaster(1, 100ms), "");
}

TEST_F(PcommPty, PortIsExclusiveWithinTheProcessUntilClosed) {
    const size_t fdsBefore = OpenFdCount();
    ASSERT_EQ(sio.open(kCom), SIO_OK);
    EXPECT_EQ(sio.open(kCom), SIO_ERR_BUSY);

    // The refused open left the first one working.
    char byte = 'A';
    EXPECT_EQ(sio.write(kCom, &byte, 1), 1);
    EXPECT_EQ(link.ReadMaster(1), "A");

    ASSERT_EQ(sio.close(kCom), SIO_OK);
    EXPECT_EQ(OpenFdCount(), fdsBefore);
    EXPECT_EQ(sio.close(kCom), SIO_ERR_NOT_OPEN);
    EXPECT_EQ(sio.open(kCom), SIO_OK);
}

TEST_F(PcommPty, PortsUsedFromSeparateThreadsKeepTheirOwnData) {
    // Each thread opens, writes and closes its own port over and over, so the port table
    // changes under the other thread's calls.
    link.AddPort(kCom + 1);
    auto drive = [this](int port) {
        std::string all;
        for (int i = 0; i < 50; ++i) {
            std::string message = "COM" + std::to_string(port) + " #" + std::to_string(i) + ";";
            if (sio.open(port) != SIO_OK ||
                sio.write(port, message.data(), static_cast<int>(message.size())) !=
                    static_cast<int>(message.size()) ||
                sio.close(port) != SIO_OK) {
                return std::string("failed at ") + message;
            }
            all += message;
        }
        return all;
    };
    const auto [first, second] = WithinWatchdog(20s, [&] {
        auto other = std::async(std::launch::async, drive, kCom + 1);
        std::string mine = drive(kCom);
        return std::pair(mine, other.get());
    });
    EXPECT_EQ(link.port(kCom).ReadMaster(first.size()), first);
    EXPECT_EQ(link.port(kCom + 1).ReadMaster(second.size()), second);
}

TEST_F(PcommPty, AnotherProcessCannotOpenThePortUntilItIsClosed) {
    // The child is forked before this process opens the port, so its copy of the library has
    // no record of it and must find the lock on the device itself. We run as root, so this also
    // shows that root is kept out.
    int toChild[2];
    int toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(toChild[1]);
        close(toParent[0]);
        for (int round = 0; round < 2 && Receive(toChild[0]) == 1; ++round) {
            const int rc = sio.open(kCom);
            const int value = rc;
            if (write(toParent[1], &value, sizeof value) != sizeof value) {
                _exit(2);
            }
            if (rc == SIO_OK) {
                sio.close(kCom);
            }
        }
        _exit(0);
    }
    close(toChild[0]);
    close(toParent[1]);

    ASSERT_EQ(sio.open(kCom), SIO_OK);
    Send(toChild[1], 1);
    EXPECT_EQ(Receive(toParent[0]), SIO_ERR_BUSY);

    ASSERT_EQ(sio.close(kCom), SIO_OK);
    Send(toChild[1], 1);
    EXPECT_EQ(Receive(toParent[0]), SIO_OK);

    close(toChild[1]);
    close(toParent[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(PcommPty, CallsOnPortsThatAreNotOpenChangeNothing) {
    ASSERT_EQ(sio.open(kCom + 1), SIO_ERR_NO_SUCH_PORT); // a failed open
    ASSERT_EQ(sio.open(kCom), SIO_OK);
    ASSERT_EQ(sio.close(kCom), SIO_OK); // a closed port
    const termios before = LineSettings();

    char buf[8] = "abcdefg";
    for (const int port : {-1, 0, kCom, kCom + 1, kCom + 2 /* never opened */}) {
        SCOPED_TRACE("port " + std::to_string(port));
        EXPECT_EQ(sio.ioctl(port, SIO_B115200, SIO_BIT7 | SIO_P_EVEN), SIO_ERR_NOT_OPEN);
        EXPECT_EQ(sio.setReadTimeouts(port, 100, 10), SIO_ERR_NOT_OPEN);
        EXPECT_EQ(sio.iqueue(port), SIO_ERR_NOT_OPEN);
        EXPECT_EQ(sio.read(port, buf, sizeof buf), SIO_ERR_NOT_OPEN);
        EXPECT_EQ(sio.write(port, buf, sizeof buf), SIO_ERR_NOT_OPEN);
        EXPECT_EQ(sio.read(port, nullptr, -1), SIO_ERR_NOT_OPEN);
        EXPECT_EQ(sio.close(port), SIO_ERR_NOT_OPEN);
    }
    const termios after = LineSettings();
    EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before));
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(link.ReadMaster(1, 100ms), "");
}

TEST_F(PcommPty, OpenFailuresAreReportedAndLeaveNothingBehind) {
    const fs::path notATty = link.runtimeDir() / "plain-file";
    std::ofstream(notATty) << "x";
    fs::create_symlink(link.runtimeDir() / "unplugged", link.linksDir() / "com202");
    fs::create_symlink(notATty, link.linksDir() / "com203");

    struct Case {
        int port;
        int expected;
    };
    const Case cases[] = {
        {kUnknownCom, SIO_ERR_NO_SUCH_PORT},
        {0, SIO_ERR_NO_SUCH_PORT},
        {-1, SIO_ERR_NO_SUCH_PORT},
        {kCom + 1, SIO_ERR_NO_SUCH_PORT}, // dangling link
        {kCom + 2, SIO_ERR_IO},           // opens, but cannot be made a serial line
    };
    // Twice: a failed open must not leave the device open or locked (that would give BUSY).
    const size_t fdsBefore = OpenFdCount();
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            EXPECT_EQ(sio.open(c.port), c.expected) << "port " << c.port << " round " << round;
            EXPECT_EQ(sio.close(c.port), SIO_ERR_NOT_OPEN) << "port " << c.port;
        }
    }
    EXPECT_EQ(OpenFdCount(), fdsBefore);
    const int fd = open(notATty.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}

TEST_F(PcommPty, DeviceWithoutAccessGivesPermission) {
    // The child drops to "nobody", so the folders on the way to the link must be open to it.
    fs::permissions(link.runtimeDir(), fs::perms::owner_all | fs::perms::group_exec |
                                           fs::perms::group_read | fs::perms::others_exec |
                                           fs::perms::others_read);
    ASSERT_EQ(chmod(link.slavePath().c_str(), 0), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0) {
            const gid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0) {
                _exit(100);
            }
        }
        _exit(-sio.open(kCom));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(link.slavePath().c_str(), 0620);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == 100) {
        GTEST_SKIP() << "cannot switch to an unprivileged user";
    }
    EXPECT_EQ(-WEXITSTATUS(status), SIO_ERR_PERMISSION);
}

TEST_F(PcommPty, FarEndGoingAwayFailsIoButCloseStillWorks) {
    ASSERT_EQ(sio.open(kCom), SIO_OK);
    ASSERT_EQ(link.WriteMaster("abc"), 3u);
    ASSERT_EQ(WaitForInput(3), 3);
    link.CloseMaster();

    char buf[16] = "0123456789";
    EXPECT_EQ(sio.read(kCom, buf, sizeof buf), SIO_ERR_IO);
    EXPECT_EQ(sio.iqueue(kCom), SIO_ERR_IO);
    EXPECT_EQ(sio.write(kCom, buf, sizeof buf), SIO_ERR_IO);
    EXPECT_EQ(sio.ioctl(kCom, SIO_B9600, SIO_BIT8), SIO_ERR_IO);
    EXPECT_EQ(sio.close(kCom), SIO_OK);
    // The device is gone for good.
    EXPECT_EQ(sio.open(kCom), SIO_ERR_NO_SUCH_PORT);
}

TEST_F(PcommPty, WritesStayBoundedWhenFarEndStopsReading) {
    ASSERT_EQ(sio.open(kCom), SIO_OK);

    // Numbered chunks, so the bytes that arrive show whether the counts told the truth.
    constexpr int kChunk = 4096;
    std::string sent;
    const std::vector<int> accepted = WithinWatchdog(20s, [&] {
        std::vector<int> counts;
        std::string chunk(kChunk, '\0');
        int shortWrites = 0;
        for (int i = 0; i < 200 && shortWrites < 4; ++i) {
            for (int j = 0; j < kChunk; ++j) {
                chunk[static_cast<size_t>(j)] = static_cast<char>((i * 7 + j) % 251);
            }
            const int n = sio.write(kCom, chunk.data(), kChunk);
            counts.push_back(n);
            if (n < 0) {
                break;
            }
            sent.append(chunk, 0, static_cast<size_t>(n));
            shortWrites += n < kChunk ? 1 : 0;
        }
        return counts;
    });

    ASSERT_FALSE(accepted.empty());
    ASSERT_LT(accepted.back(), kChunk) << "the driver never filled up";
    for (const int n : accepted) {
        EXPECT_GE(n, 0);
    }
    // Once full, further writes take nothing until the far end reads.
    EXPECT_EQ(accepted.back(), 0);

    EXPECT_TRUE(link.ReadMaster(sent.size()) == sent) << "bytes delivered differ from counts";
    EXPECT_EQ(link.ReadMaster(1, 100ms), "");
    std::string more(kChunk, 'm');
    EXPECT_EQ(sio.write(kCom, more.data(), kChunk), kChunk);
}

TEST_F(PcommPty, EveryBaudCodeSetsItsRate) {
    ASSERT_EQ(sio.open(kCom), SIO_OK);
    const long rates[] = {50,   75,   110,  134,   150,   300,   600,    1200,   1800,   2400,
                          4800, 7200, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
    for (int code = 0; code < 20; ++code) {
        ASSERT_EQ(sio.ioctl(kCom, code, SIO_BIT8), SIO_OK) << "code " << code;
        EXPECT_EQ(test_support::OutputRate(link.masterFd()), rates[code]) << "code " << code;
    }
    // From the custom rate back to a standard one.
    ASSERT_EQ(sio.ioctl(kCom, SIO_B9600, SIO_BIT8), SIO_OK);
    EXPECT_EQ(test_support::OutputRate(link.masterFd()), 9600);

    for (const int code : {20, -1, 1000}) {
        EXPECT_EQ(sio.ioctl(kCom, code, SIO_BIT8), SIO_ERR_BAD_PARAM) << "code " << code;
    }
    EXPECT_EQ(test_support::OutputRate(link.masterFd()), 9600);
}

TEST_F(PcommPty, ModeBitsReachTheLineAndBadModesChangeNothing) {
    ASSERT_EQ(sio.open(kCom), SIO_OK);
    // A pty keeps stop bits and the parity kind; it forces 8 data bits and clears PARENB, so
    // those are checked in PcommLineSettings.
    constexpr tcflag_t kKept = CSTOPB | PARODD | CMSPAR;
    struct Case {
        int mode;
        tcflag_t flags;
    };
    const Case cases[] = {
        {SIO_BIT8, 0},
        {SIO_BIT8 | SIO_STOP2, CSTOPB},
        {SIO_BIT7 | SIO_P_ODD, PARODD},
        {SIO_BIT7 | SIO_P_EVEN | SIO_STOP2, CSTOPB},
        {SIO_BIT8 | SIO_P_MARK, PARODD | CMSPAR},
        {SIO_BIT8 | SIO_P_SPACE, CMSPAR},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(sio.ioctl(kCom, SIO_B19200, c.mode), SIO_OK) << "mode " << c.mode;
        const termios tio = LineSettings();
        EXPECT_EQ(tio.c_cflag & kKept, c.flags) << "mode " << c.mode;
        EXPECT_EQ(cfgetospeed(&tio), speed_t{B19200}) << "mode " << c.mode;
    }

    ASSERT_EQ(sio.ioctl(kCom, SIO_B2400, SIO_BIT8 | SIO_P_MARK | SIO_STOP2), SIO_OK);
    for (const int mode : {0x10, 0x20, 0x30, 0x40, 0x80, 0x100, -1}) {
        EXPECT_EQ(sio.ioctl(kCom, SIO_B115200, mode), SIO_ERR_BAD_PARAM) << "mode " << mode;
        const termios tio = LineSettings();
        EXPECT_EQ(tio.c_cflag & kKept, tcflag_t{CSTOPB | PARODD | CMSPAR}) << "mode " << mode;
        EXPECT_EQ(cfgetospeed(&tio), speed_t{B2400}) << "mode " << mode;
    }
}

} // namespace
