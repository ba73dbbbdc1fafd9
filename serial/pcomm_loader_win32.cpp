#include "serial/library_loader.h"

#include <windows.h>

#include <vector>

namespace serial {

namespace {

class Win32Loader final : public LibraryLoader {
  public:
    void* Open(const std::string& path) override {
        // No "cannot find the file" box from the system: a missing library is ours to report.
        const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        HMODULE library = LoadLibraryA(path.c_str());
        SetErrorMode(previous);
        return library;
    }
    void* Symbol(void* library, const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
    }
};

} // namespace

LibraryLoader& SystemLibraryLoader() {
    static Win32Loader loader;
    return loader;
}

// UTF-8, as std::filesystem reads narrow paths; the program's manifest makes UTF-8 the code page
// of the A functions too, so LoadLibraryA takes the same text.
std::string ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return ".";
        }
        if (length < path.size()) {
            break;
        }
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data(), length);
    const std::size_t slash = folder.find_last_of(L"\\/");
    folder.resize(slash == std::wstring::npos ? 0 : slash);
    if (folder.empty()) {
        return ".";
    }
    const int wide_size = static_cast<int>(folder.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, folder.data(), wide_size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, folder.data(), wide_size, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace serial
