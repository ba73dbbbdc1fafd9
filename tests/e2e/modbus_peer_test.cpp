// The console's Modbus writes checked by a peer that shares no code with it: a libmodbus RTU
// server holding a register map, behind COM211. What the registers hold afterwards is what the
// console's frames meant; the log shows the server's write responses.
//
//   console -> COM211 link -> pty A slave | A master <-bridge-> B master | pty B slave <- libmodbus
//
// libmodbus needs a terminal device path of its own, so it gets the slave of a second pty pair,
// and a thread copies bytes between the two masters.

#include "tests/e2e/console_session.h"
#include "tests/support/pty_link.h"

#include <modbus/modbus.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

using e2e::Hex;
using e2e::kWatchdogMs;
using e2e::WriteResponse;

constexpr int kCom = 211;
constexpr int kServerId = 1;

// A pty pair whose slave nobody opens but libmodbus.
class PtyPair {
  public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        char name[128] = {};
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
            ptsname_r(master_, name, sizeof name) != 0) {
            throw std::runtime_error("cannot create a pseudo-terminal");
        }
        slavePath_ = name;
    }
    ~PtyPair() { close(master_); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    std::string slavePath_;
};

// Copies whatever one master reads to the other, both ways, until destroyed.
class Bridge {
  public:
    Bridge(int a, int b) : thread_([this, a, b] { Run(a, b); }) {}
    ~Bridge() {
        stop_ = true;
        thread_.join();
    }

  private:
    void Run(int a, int b) {
        while (!stop_) {
            pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
            if (poll(fds, 2, 20) <= 0) {
                continue;
            }
            Copy(fds[0], b);
            Copy(fds[1], a);
        }
    }
    static void Copy(const pollfd& from, int to) {
        if ((from.revents & POLLIN) == 0) {
            return;
        }
        char chunk[512];
        const ssize_t n = read(from.fd, chunk, sizeof chunk);
        for (ssize_t done = 0; n > 0 && done < n;) {
            const ssize_t w = write(to, chunk + done, static_cast<std::size_t>(n - done));
            if (w > 0) {
                done += w;
            } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
                return;
            }
        }
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A libmodbus RTU server with holding registers 0..0x1FF, answering as slave 1.
class ModbusServer {
  public:
    explicit ModbusServer(const std::string& device) {
        ctx_ = modbus_new_rtu(device.c_str(), 9600, 'N', 8, 1);
        registers_ = modbus_mapping_new(0, 0, 0x200, 0);
        if (ctx_ == nullptr || registers_ == nullptr || modbus_set_slave(ctx_, kServerId) != 0 ||
            modbus_connect(ctx_) != 0) {
            throw std::runtime_error(std::string("libmodbus server on ") + device + ": " +
                                     modbus_strerror(errno));
        }
        // Short waits for a request, so the loop sees the stop flag.
        modbus_set_indication_timeout(ctx_, 0, 100 * 1000);
        thread_ = std::thread([this] { Serve(); });
    }
    ~ModbusServer() {
        stop_ = true;
        thread_.join();
        modbus_close(ctx_);
        modbus_free(ctx_);
        modbus_mapping_free(registers_);
    }
    ModbusServer(const ModbusServer&) = delete;
    ModbusServer& operator=(const ModbusServer&) = delete;

    std::vector<std::uint16_t> Registers(int first, int count) {
        const std::lock_guard lock(mutex_);
        return {registers_->tab_registers + first, registers_->tab_registers + first + count};
    }

  private:
    void Serve() {
        std::uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!stop_) {
            const int length = modbus_receive(ctx_, request);
            if (length > 0) {
                const std::lock_guard lock(mutex_);
                modbus_reply(ctx_, request, length, registers_);
            }
        }
    }

    modbus_t* ctx_ = nullptr;
    modbus_mapping_t* registers_ = nullptr;
    std::mutex mutex_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class ModbusPeer : public ::testing::Test {
  protected:
    test_support::PtyLink link{kCom}; // pty A, linked as COM211
    PtyPair serverSide;               // pty B
    Bridge bridge{link.masterFd(), serverSide.master()};
    ModbusServer server{serverSide.slavePath()};
    e2e::ConsoleSession console;

    void SetUp() override {
        console.Pick("组合框_串口", "COM" + std::to_string(kCom));
        console.Click("按钮_开关端口");
        ASSERT_EQ(console.Find<QAbstractButton>("按钮_开关端口")->text().toStdString(), "close");
    }
    void TearDown() override {
        console.Click("按钮_开关端口");
        EXPECT_TRUE(console.messages().empty()) << console.messages().front();
    }

    // Waits until the registers hold `want`; returns what they hold then.
    std::vector<std::uint16_t> AwaitRegisters(int first, const std::vector<std::uint16_t>& want) {
        const int count = static_cast<int>(want.size());
        (void)QTest::qWaitFor([&] { return server.Registers(first, count) == want; }, kWatchdogMs);
        return server.Registers(first, count);
    }

    // Clicks `button` and checks that exactly `answer` comes back.
    void Send(const std::string& button, const frame::Frame& answer = {}) {
        EXPECT_EQ(console.ClickAndReceive(button, answer.size()), Hex(answer))
            << "the answer to " << button;
        allAnswers += Hex(answer);
    }
    std::string allAnswers;
};

using Registers = std::vector<std::uint16_t>;

TEST_F(ModbusPeer, ControlAndSceneWritesLandInTheRegistersTheyName) {
    console.Pick("组合框_地址", "1");
    console.Click("全能");
    console.Click("通道5");
    Send("按钮_控制", WriteResponse(kServerId, 0x001F, 3));
    EXPECT_EQ(AwaitRegisters(0x1F, {0xFFFF, 0x0010, 0x00C9}), (Registers{0xFFFF, 0x0010, 0x00C9}));

    struct SceneCase {
        const char* mode;
        Registers stored; // registers 0x190..0x193: scene and operation, enables, states, 00C9
    };
    for (const SceneCase& c : {
             SceneCase{"单选框1", {0x0101, 0xFFFF, 0x0010, 0x00C9}}, // set scene 1
             SceneCase{"单选框2", {0x0102, 0x0000, 0x0000, 0x00C9}}, // delete scene 1
             SceneCase{"单选框3", {0x0103, 0x0000, 0x0000, 0x00C9}}, // clear scene 1
         }) {
        SCOPED_TRACE(c.mode);
        console.Click(c.mode);
        Send("按钮_场景", WriteResponse(kServerId, 0x0190, 4));
        EXPECT_EQ(AwaitRegisters(0x190, c.stored), c.stored);
    }
    EXPECT_EQ(console.ReceivedHex(), allAnswers);
}

// Triggering a scene is a broadcast: libmodbus applies a write to address 0 and never answers it.
TEST_F(ModbusPeer, TriggerSceneIsAppliedAsABroadcastWithoutAnAnswer) {
    console.Pick("组合框_场景", "7");
    console.Click("触发场景");
    EXPECT_EQ(AwaitRegisters(7, {7, 1}), (Registers{7, 1}));

    // The next unicast's response is the first thing logged: the broadcast got none.
    Send("按钮_控制", WriteResponse(kServerId, 0x001F, 3));
    EXPECT_EQ(AwaitRegisters(0x1F, {0, 0, 0x00C9}), (Registers{0, 0, 0x00C9}));
    EXPECT_EQ(console.ReceivedHex(), allAnswers);
}

} // namespace
