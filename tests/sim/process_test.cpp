// relay-bus-sim as the console meets it: a separate process, a com<N> link, a pseudo-terminal.

#include "frame/crc16.h"
#include "frame/frame.h"
#include "tests/fakes/hex_bytes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using fakes::Hex;
using ::testing::HasSubstr;

// Against a hang only: nothing here should take more than a fraction of this.
constexpr auto kWatchdog = std::chrono::seconds(10);

int MsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads from `fd` until `count` bytes arrived, end of file or the watchdog.
std::string ReadFd(int fd, std::size_t count = SIZE_MAX) {
    const auto deadline = Clock::now() + kWatchdog;
    std::string got;
    char chunk[512];
    while (got.size() < count) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, MsLeft(deadline)) <= 0) {
            break;
        }
        const ssize_t n = read(fd, chunk, std::min(sizeof chunk, count - got.size()));
        if (n > 0) {
            got.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return got;
}

// The simulator run with XDG_RUNTIME_DIR pointing at a folder of the test's own.
class SimProcess {
  public:
    SimProcess(const std::vector<std::string>& args, const fs::path& runtimeDir) {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            if (!std::string_view(*e).starts_with("XDG_RUNTIME_DIR=")) {
                env.emplace_back(*e);
            }
        }
        env.push_back("XDG_RUNTIME_DIR=" + runtimeDir.string());
        std::vector<std::string> argv{RELAY_BUS_SIM_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> argvPtrs;
        std::vector<char*> envPtrs;
        for (auto& a : argv) {
            argvPtrs.push_back(a.data());
        }
        for (auto& e : env) {
            envPtrs.push_back(e.data());
        }
        argvPtrs.push_back(nullptr);
        envPtrs.push_back(nullptr);

        int out[2];
        int err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            execve(argvPtrs[0], argvPtrs.data(), envPtrs.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
        close(err_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // One line of its standard output, without the line break; nullopt on end of file or hang.
    std::optional<std::string> ReadLine() {
        while (true) {
            const std::size_t end = outBuffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = outBuffer_.substr(0, end);
                outBuffer_.erase(0, end + 1);
                return line;
            }
            const std::string more = ReadFd(out_, 1);
            if (more.empty()) {
                return std::nullopt;
            }
            outBuffer_ += more;
        }
    }
    std::string RestOfStdout() { return outBuffer_ + ReadFd(out_); }
    std::string Stderr() { return ReadFd(err_); }

    void Signal(int signal) { kill(pid_, signal); }

    // Its exit status, or -1 if it is still running after the watchdog (it is killed then).
    int Wait() {
        const auto deadline = Clock::now() + kWatchdog;
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                return -1;
            }
            usleep(10 * 1000);
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string outBuffer_;
};

struct Started {
    int com = 0;
    std::string device;
};

// Parses "relay-bus-sim: COM<N> -> /dev/pts/<k>".
std::optional<Started> ParseStartLine(const std::string& line) {
    static const std::regex pattern(R"(relay-bus-sim: COM([0-9]+) -> (/dev/pts/[0-9]+))");
    std::smatch m;
    if (!std::regex_match(line, m, pattern)) {
        return std::nullopt;
    }
    return Started{std::stoi(m[1]), m[2]};
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class SimProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "relay_bus_sim.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        runtime_ = pattern;
    }
    void TearDown() override { fs::remove_all(runtime_); }

    fs::path Link(int com) const { return runtime_ / "serialcomm" / ("com" + std::to_string(com)); }

    // Opens the port the way the console would reach it: through the link.
    static int OpenPort(const fs::path& link) {
        return open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }

    fs::path runtime_;
};

TEST_F(SimProcessTest, AnswersOverItsLinkAcrossReopeningAndRemovesTheLinkOnSigterm) {
    SimProcess sim({}, runtime_);
    const auto first = sim.ReadLine();
    ASSERT_TRUE(first) << sim.Stderr();
    const auto started = ParseStartLine(*first);
    ASSERT_TRUE(started) << *first;
    EXPECT_GE(started->com, 90);
    const fs::path link = Link(started->com);
    EXPECT_EQ(fs::read_symlink(link), started->device);

    int port = OpenPort(link);
    ASSERT_GE(port, 0) << std::strerror(errno);
    const std::string control = Bytes(Hex("01 10 00 1F 00 03 06 FF FF 00 05 00 C9 07 69"));
    ASSERT_EQ(write(port, control.data(), control.size()), static_cast<ssize_t>(control.size()));
    std::vector<std::uint8_t> response = Hex("01 10 00 1F 00 03");
    const std::uint16_t crc = frame::Crc16(response, response.size());
    response.push_back(frame::LowByte(crc));
    response.push_back(frame::HighByte(crc));
    EXPECT_EQ(ReadFd(port, response.size()), Bytes(response));
    EXPECT_EQ(sim.ReadLine(), "module 1: on 1 3, enabled 1-16");
    close(port);

    // The console closed the port and opens it again: the line is still served.
    port = OpenPort(link);
    ASSERT_GE(port, 0) << std::strerror(errno);
    const std::string readSettings = Bytes(Hex("01 FE EF 05 01 00 C9 5A 93"));
    ASSERT_EQ(write(port, readSettings.data(), readSettings.size()),
              static_cast<ssize_t>(readSettings.size()));
    EXPECT_EQ(ReadFd(port, 24), Bytes(frame::CommandFrame(1, frame::kSwitchHead, 0x05,
                                                          std::vector<std::uint8_t>(16, 0))));
    close(port);

    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0) << sim.Stderr();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST_F(SimProcessTest, RefusesAPortInUseListsPortsAndRejectsBadArguments) {
    SimProcess sim({"--com", "42", "--quiet"}, runtime_);
    const auto first = sim.ReadLine();
    ASSERT_TRUE(first) << sim.Stderr();
    const auto started = ParseStartLine(*first);
    ASSERT_TRUE(started) << *first;
    EXPECT_EQ(started->com, 42);

    SimProcess second({"--com", "42"}, runtime_);
    EXPECT_EQ(second.Wait(), 1);
    EXPECT_THAT(second.Stderr(), HasSubstr("COM42 is in use"));
    EXPECT_EQ(fs::read_symlink(Link(42)), started->device);

    SimProcess list({"--list-ports"}, runtime_);
    EXPECT_EQ(list.Wait(), 0);
    EXPECT_THAT(list.RestOfStdout(), HasSubstr("COM42 " + started->device + "\n"));

    SimProcess bad({"--modules", "0"}, runtime_);
    EXPECT_EQ(bad.Wait(), 2);
    EXPECT_THAT(bad.Stderr(), HasSubstr("usage: relay-bus-sim"));

    sim.Signal(SIGINT);
    EXPECT_EQ(sim.Wait(), 0) << sim.Stderr();
    EXPECT_FALSE(fs::exists(fs::symlink_status(Link(42))));
}

} // namespace
