// A whole commissioning session in the real window against relay-bus-sim: every button that
// sends, the answers the devices give as the log shows them, and what the devices did as the
// simulator's monitor reports it.

#include "tests/e2e/console_session.h"
#include "tests/support/scoped_env.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>

extern char** environ;

namespace {

using e2e::Hex;
using e2e::kWatchdogMs;
using e2e::WriteResponse;
using frame::Byte;
using frame::CommandFrame;
using frame::kRelayHead;
using frame::kSwitchHead;

// relay-bus-sim as a child process; its stdout (the monitor) read without blocking.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& args) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<std::string> all{RELAY_BUS_SIM_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
        if (spawned != 0) {
            close(out_);
            throw std::runtime_error("cannot start " + all[0]);
        }
        fcntl(out_, F_SETFL, fcntl(out_, F_GETFL) | O_NONBLOCK);
    }
    ~SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The monitor's complete lines so far.
    const std::vector<std::string>& Lines() {
        char chunk[4096];
        ssize_t n;
        while ((n = read(out_, chunk, sizeof chunk)) > 0) {
            pending_.append(chunk, static_cast<std::size_t>(n));
        }
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            lines_.push_back(pending_.substr(0, end));
            pending_.erase(0, end + 1);
        }
        return lines_;
    }

    // Waits (running the event loop) until the monitor has shown `line`.
    bool WaitForLine(const std::string& line) {
        return QTest::qWaitFor([&] { return std::ranges::find(Lines(), line) != Lines().end(); },
                               kWatchdogMs);
    }

    // SIGTERM, then the exit status; nullopt when it did not end on its own.
    std::optional<int> Stop() {
        kill(pid_, SIGTERM);
        int status = 0;
        for (int waited = 0; waited < kWatchdogMs; waited += 10) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10 * 1000);
        }
        return std::nullopt;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
};

std::string MakeRuntimeDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "e2e_sim.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

// Two relay modules (1 and 2) and the switch (1) behind COM210, in a links folder of our own.
class SimulatorSession : public ::testing::Test {
  protected:
    ~SimulatorSession() override {
        std::error_code ignored;
        std::filesystem::remove_all(runtimeDir, ignored);
    }

    const std::string runtimeDir = MakeRuntimeDir();
    test_support::ScopedEnv runtimeEnv{"XDG_RUNTIME_DIR", runtimeDir};
    SimProcess sim{{"--com", "210", "--modules", "1-2", "--switch", "1"}};
    e2e::ConsoleSession console;

    // Clicks `button` and checks that exactly `answer` comes back.
    void Send(const std::string& button, const frame::Frame& answer = {}) {
        EXPECT_EQ(console.ClickAndReceive(button, answer.size()), Hex(answer))
            << "the answer to " << button;
        allAnswers += Hex(answer);
    }
    std::string allAnswers;
};

TEST_F(SimulatorSession, EveryButtonReachesTheDevicesAndTheirAnswersAreLogged) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sim.Lines().empty(); }, kWatchdogMs));
    ASSERT_TRUE(sim.Lines().front().starts_with("relay-bus-sim: COM210 -> /dev/pts/"))
        << sim.Lines().front();

    console.Pick("组合框_串口", "COM210");
    console.Click("按钮_开关端口");
    ASSERT_EQ(console.Find<QAbstractButton>("按钮_开关端口")->text().toStdString(), "close");
    EXPECT_TRUE(console.Log().starts_with("port opened: COM210 9600")) << console.Log();

    // Relay module page, module 1, scene 1: channel 5 on, nothing enabled.
    console.Click("通道5");
    Send("按钮_控制", WriteResponse(1, 0x001F, 3));
    console.Click("单选框1"); // set scene
    Send("按钮_场景", WriteResponse(1, 0x0190, 4));
    console.Click("单选框2"); // delete scene
    Send("按钮_场景", WriteResponse(1, 0x0190, 4));
    console.Click("单选框3"); // clear scene
    Send("按钮_场景", WriteResponse(1, 0x0190, 4));
    console.Click("单选框4"); // set module-id: to address 0, never answered
    Send("按钮_场景");
    console.Click("单选框5"); // power-on status: echoed
    Send("按钮_场景", CommandFrame(1, kRelayHead, 0x02, std::array<Byte, 2>{0x00, 0x10}));
    Send("触发场景"); // to address 0
    Send("按钮_设置波特率", CommandFrame(1, kRelayHead, 0x03, std::array<Byte, 1>{0}));
    Send("按钮_设置输入口", CommandFrame(1, kRelayHead, 0x04, std::array<Byte, 1>{0}));

    // Switch page, switch 1: key 1 drives module 2, channel 3.
    console.ClickTab(1);
    ASSERT_EQ(console.Find<QTabWidget>("选择夹1")->currentIndex(), 1);
    console.Pick("模块地址1", "2");
    console.Pick("模块通道1", "3");
    std::array<Byte, 16> keyMap{};
    keyMap[0] = 2;
    keyMap[1] = 3;
    Send("进入设置", CommandFrame(1, kSwitchHead, 0x06, std::array<Byte, 1>{1}));
    Send("写入设置", CommandFrame(1, kSwitchHead, 0x02, keyMap));
    Send("读取设置", CommandFrame(1, kSwitchHead, 0x05, keyMap));
    Send("清空设置", CommandFrame(1, kSwitchHead, 0x04, std::array<Byte, 1>{0}));
    Send("设置开关地址"); // Set ID: to address 0
    Send("设置开关波特率", CommandFrame(1, kSwitchHead, 0x03, std::array<Byte, 1>{0}));
    Send("退出设置", CommandFrame(1, kSwitchHead, 0x06, std::array<Byte, 1>{0}));

    // The whole log, however its lines split the answers, is the answers in order.
    EXPECT_EQ(console.ReceivedHex(), allAnswers);

    // What the devices did, in the simulator's words and in order.
    const std::vector<std::string> monitor{
        "module 1: on 5, enabled none",
        "module 1: scene 1 set (on 5, enabled none)",
        "module 1: scene 1 deleted",
        "module 1: scene 1 cleared",
        "set module-id 1 ignored (2 modules on the line)",
        "module 1: power-on status on 5",
        "all modules: trigger scene 1",
        "module 1: scene 1 applied, on none, enabled none",
        "module 2: no scene 1, unchanged",
        "module 1: baud 9600",
        "module 1: input reset switch",
        "switch 1: setup mode on",
        "switch 1: key 1 -> module 2 channel 3",
        "switch 1: read settings",
        "switch 1: settings cleared",
        "switch 1: ID set to 1",
        "switch 1: baud 9600",
        "switch 1: setup mode off",
    };
    EXPECT_TRUE(sim.WaitForLine(monitor.back()))
        << "the simulator never reported: " << monitor.back();
    const std::vector<std::string> reported = sim.Lines();
    auto next = reported.begin();
    for (const std::string& line : monitor) {
        next = std::find(next, reported.end(), line);
        if (next == reported.end()) {
            ADD_FAILURE() << "the simulator did not report, in its place: " << line;
            break;
        }
    }
    EXPECT_TRUE(console.messages().empty()) << console.messages().front();

    console.Click("按钮_开关端口");
    EXPECT_EQ(console.Find<QAbstractButton>("按钮_开关端口")->text().toStdString(), "start");
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(runtimeDir + "/serialcomm/com210"))
        << "the simulator left its link behind";
}

} // namespace
