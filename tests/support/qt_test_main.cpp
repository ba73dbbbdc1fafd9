// One QApplication for the whole program, on the offscreen platform unless told otherwise.

#include <QApplication>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// Whether one of Qt's pooled threads still runs in this process.
bool PooledThreadAlive() {
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ignored)) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name == "Thread (pooled)") {
            return true;
        }
    }
    return false;
}

// Qt's raster painting fills large areas on the global thread pool. Waiting for the pool
// deletes its threads, but each thread drops its own thread data only as it exits; a program
// that ends before that leaves the data behind, and the leak checker reports it. So the
// program waits, briefly, for those threads to be gone.
void EndPooledThreads() {
    QThreadPool::globalInstance()->waitForDone();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (PooledThreadAlive() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const int failed = RUN_ALL_TESTS();
    EndPooledThreads();
    return failed;
}
