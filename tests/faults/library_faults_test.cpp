// A serial library that is missing, is no library, or lacks one function, in the real window
// over the binding the program uses. The console says once which function it could not load,
// from which file and where it looked, and asks the library nothing afterwards: not on later
// clicks, and not from the poll tick that keeps running under the message.
//
// The program ends after that message; here the reporter shows the same box and records, so
// the test can look at what would still happen.

#include "serial/library_loader.h"
#include "tests/faults/fault_console.h"
#include "tests/support/pty_link.h"
#include "tests/support/scoped_env.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using faults::FaultConsole;
using faults::kWatchdogMs;

constexpr int kCom = 231;

// The system's loader, counting what the binding asks of it.
class CountingLoader final : public serial::LibraryLoader {
  public:
    void* Open(const std::string& path) override {
        ++opens;
        return serial::SystemLibraryLoader().Open(path);
    }
    void* Symbol(void* library, const char* name) override {
        ++lookups;
        return serial::SystemLibraryLoader().Symbol(library, name);
    }
    int opens = 0;
    int lookups = 0;
};

// The window over a binding that looks for the library as the program does, from
// `program_folder`; the fatal reporter records the message and shows it in a box.
struct ConsoleWithLibrary {
    explicit ConsoleWithLibrary(const std::string& program_folder)
        : pcomm(loader, serial::LibraryCandidates(program_folder), [this](const std::string& m) {
              fatal.push_back(m);
              console.messageBox().show(m, serial::kInfoTitle);
          }) {}

    CountingLoader loader;
    std::vector<std::string> fatal;
    serial::PcommBinding pcomm;
    FaultConsole console{pcomm};
};

fs::path MakeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "faults_program.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(MissingLibrary, TheFirstCallSaysWhatIsMissingAndWhereItLookedAndNothingAsksAgain) {
    if (fs::exists("/DLL/PCOMM.DLL")) {
        GTEST_SKIP() << "this machine has a /DLL/PCOMM.DLL";
    }
    test_support::PtyLink link(kCom);
    struct Case {
        const char* what;
        const char* file_text; // nullptr: no DLL folder at all
    };
    const Case cases[] = {{"no library file", nullptr},
                          {"a file that is no library", "MZ this is not a shared object\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = MakeTempDir();
        if (c.file_text != nullptr) {
            fs::create_directory(folder / "DLL");
            std::ofstream(folder / "DLL/PCOMM.DLL") << c.file_text;
        }
        {
            ConsoleWithLibrary app(folder.string());
            // A button that sends whether or not a port is open makes the first library call.
            app.console.Click("按钮_设置波特率");
            const std::string message = "Cannot load sio_write from DLL/PCOMM.DLL (tried " +
                                        (folder / "DLL/PCOMM.DLL").string() + ", /DLL/PCOMM.DLL)";
            EXPECT_EQ(app.fatal, std::vector<std::string>{message});
            EXPECT_EQ(app.console.messages(), std::vector<std::string>{message});
            EXPECT_EQ(app.loader.opens, 2);

            app.console.Click("触发场景");
            app.console.Click("按钮_设置波特率");
            app.console.Pick("组合框_串口", "COM" + std::to_string(kCom));
            app.console.Click("按钮_开关端口");
            EXPECT_EQ(app.fatal.size(), 1u);
            EXPECT_EQ(app.loader.opens, 2);
            EXPECT_EQ(app.loader.lookups, 0);
        }
        fs::remove_all(folder);
    }
}

TEST(MissingFunction, ThePollTickSaysSoOnceAndNothingCallsTheLibraryAfterIt) {
    test_support::PtyLink link(kCom);
    const fs::path calls = link.runtimeDir() / "library_calls";
    test_support::ScopedEnv record("STUB_PCOMM_CALLS", calls.string());
    ConsoleWithLibrary app(STUB_PROGRAM_FOLDER);

    // The message stays open for a while, as a user reads it; the poll timer ticks under it.
    std::optional<std::chrono::steady_clock::time_point> shown;
    app.console.onBoxOpened = [&](const std::string&) { shown = std::chrono::steady_clock::now(); };
    app.console.holdBox = [&] {
        return std::chrono::steady_clock::now() - *shown < std::chrono::milliseconds(300);
    };

    // The library opens the port; the first poll asks for sio_iqueue, which it lacks.
    ASSERT_TRUE(app.console.Open(kCom)) << app.console.Log();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.fatal.empty(); }, kWatchdogMs));
    ASSERT_TRUE(
        QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, kWatchdogMs));
    const std::string message = "Cannot load sio_iqueue from DLL/PCOMM.DLL (tried " +
                                std::string(STUB_PROGRAM_FOLDER) + "/DLL/PCOMM.DLL)";
    EXPECT_EQ(app.fatal, std::vector<std::string>{message});
    EXPECT_EQ(app.console.messages(), std::vector<std::string>{message});
    const std::string before = "sio_open\nsio_ioctl\nsio_SetReadTimeouts\n";
    EXPECT_EQ(ReadFile(calls), before);
    // Looked up once each: the three that opened the port, and sio_iqueue.
    EXPECT_EQ(app.loader.lookups, 4);

    QTest::qWait(200);
    app.console.Click("按钮_设置波特率");
    app.console.Click("按钮_开关端口");
    EXPECT_EQ(app.fatal.size(), 1u);
    EXPECT_EQ(ReadFile(calls), before);
    EXPECT_EQ(app.loader.lookups, 4);
    EXPECT_EQ(app.loader.opens, 1);
}

} // namespace
