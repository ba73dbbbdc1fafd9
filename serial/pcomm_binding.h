#pragma once
// The serial library bound at run time: the file is loaded at the first call and each
// function looked up at its own first call. A missing file or function is fatal.

#include "serial/library_loader.h"
#include "serial/pcomm.h"

#include <functional>
#include <string>
#include <vector>

namespace serial {

inline constexpr const char* kLibraryName = "DLL/PCOMM.DLL";

// Where the library is looked for, in order: below the program's folder, then from the root.
std::vector<std::string> LibraryCandidates(const std::string& program_folder);

class PcommBinding final : public Pcomm {
  public:
    // `fatal` tells the user (and normally ends the program). Once it has been called, every
    // call fails at once without asking again, so a poll tick under the open box cannot
    // stack a second one.
    using FatalReporter = std::function<void(const std::string& message)>;

    PcommBinding(LibraryLoader& loader, std::vector<std::string> candidates, FatalReporter fatal);

    int sio_open(int port) override;
    int sio_ioctl(int port, int baud, int mode) override;
    int sio_SetReadTimeouts(int port, int total_ms, int interval_ms) override;
    int sio_iqueue(int port) override;
    int sio_read(int port, char* buf, int len) override;
    int sio_write(int port, char* buf, int len) override;
    int sio_close(int port) override;

    // What every call returns once the library could not be bound.
    static constexpr int kUnavailable = -100;

  private:
    enum Function { kOpen, kIoctl, kSetReadTimeouts, kIqueue, kRead, kWrite, kClose, kCount };
    void* Resolve(Function f);

    LibraryLoader& loader_;
    std::vector<std::string> candidates_;
    FatalReporter fatal_;
    void* library_ = nullptr;
    std::string library_path_;
    void* functions_[kCount] = {};
    bool failed_ = false;
};

} // namespace serial
