#include "serial/pcomm_binding.h"

#include <algorithm>
#include <utility>

namespace serial {

namespace {

constexpr const char* kFunctionNames[] = {"sio_open",   "sio_ioctl", "sio_SetReadTimeouts",
                                          "sio_iqueue", "sio_read",  "sio_write",
                                          "sio_close"};

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) {
        out += (out.empty() ? "" : ", ") + p;
    }
    return out;
}

using Int1 = int (*)(int);
using Int3 = int (*)(int, int, int);
using Buffer = int (*)(int, char*, int);

#ifdef _WIN32
constexpr char kPlatformSeparator = '\\';
#else
constexpr char kPlatformSeparator = '/';
#endif

// The separator the program folder is spelled with (C:\Tools, /opt/x); the platform's own
// when it has none.
char SeparatorOf(const std::string& folder) {
    if (folder.find('\\') != std::string::npos) {
        return '\\';
    }
    return folder.find('/') != std::string::npos ? '/' : kPlatformSeparator;
}

} // namespace

std::vector<std::string> LibraryCandidates(const std::string& program_folder) {
    const char separator = SeparatorOf(program_folder);
    std::string library = kLibraryName;
    std::replace(library.begin(), library.end(), '/', separator);
    std::string folder = program_folder;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += separator;
    }
    return {folder + library, separator + library};
}

PcommBinding::PcommBinding(LibraryLoader& loader, std::vector<std::string> candidates,
                           FatalReporter fatal)
    : loader_(loader), candidates_(std::move(candidates)), fatal_(std::move(fatal)) {}

void* PcommBinding::Resolve(Function f) {
    if (failed_) {
        return nullptr;
    }
    if (functions_[f] != nullptr) {
        return functions_[f];
    }
    if (library_ == nullptr) {
        for (const auto& path : candidates_) {
            library_ = loader_.Open(path);
            if (library_ != nullptr) {
                library_path_ = path;
                break;
            }
        }
    }
    if (library_ != nullptr) {
        functions_[f] = loader_.Symbol(library_, kFunctionNames[f]);
    }
    if (functions_[f] == nullptr) {
        failed_ = true;
        const std::string tried = library_ != nullptr ? library_path_ : Join(candidates_);
        fatal_(std::string("Cannot load ") + kFunctionNames[f] + " from " + kLibraryName +
               " (tried " + tried + ")");
    }
    return functions_[f];
}

int PcommBinding::sio_open(int port) {
    auto fn = reinterpret_cast<Int1>(Resolve(kOpen));
    return fn ? fn(port) : kUnavailable;
}

int PcommBinding::sio_ioctl(int port, int baud, int mode) {
    auto fn = reinterpret_cast<Int3>(Resolve(kIoctl));
    return fn ? fn(port, baud, mode) : kUnavailable;
}

int PcommBinding::sio_SetReadTimeouts(int port, int total_ms, int interval_ms) {
    auto fn = reinterpret_cast<Int3>(Resolve(kSetReadTimeouts));
    return fn ? fn(port, total_ms, interval_ms) : kUnavailable;
}

int PcommBinding::sio_iqueue(int port) {
    auto fn = reinterpret_cast<Int1>(Resolve(kIqueue));
    return fn ? fn(port) : kUnavailable;
}

int PcommBinding::sio_read(int port, char* buf, int len) {
    auto fn = reinterpret_cast<Buffer>(Resolve(kRead));
    return fn ? fn(port, buf, len) : kUnavailable;
}

int PcommBinding::sio_write(int port, char* buf, int len) {
    auto fn = reinterpret_cast<Buffer>(Resolve(kWrite));
    return fn ? fn(port, buf, len) : kUnavailable;
}

int PcommBinding::sio_close(int port) {
    auto fn = reinterpret_cast<Int1>(Resolve(kClose));
    return fn ? fn(port) : kUnavailable;
}

} // namespace serial
