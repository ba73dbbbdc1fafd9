#include "serial/library_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace serial {

namespace {

class DlLoader final : public LibraryLoader {
  public:
    void* Open(const std::string& path) override { return dlopen(path.c_str(), RTLD_NOW); }
    void* Symbol(void* library, const char* name) override { return dlsym(library, name); }
};

} // namespace

LibraryLoader& SystemLibraryLoader() {
    static DlLoader loader;
    return loader;
}

std::string ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec).string();
    }
    return exe.parent_path().string();
}

} // namespace serial
