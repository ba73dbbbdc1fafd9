#pragma once
// Where the serial library comes from: one seam per platform (dlopen, LoadLibrary), and a
// fake in tests.

#include <string>

namespace serial {

class LibraryLoader {
  public:
    virtual ~LibraryLoader() = default;
    // A handle for the library file at path, or nullptr when it cannot be loaded.
    virtual void* Open(const std::string& path) = 0;
    // The address of the exported function, or nullptr.
    virtual void* Symbol(void* library, const char* name) = 0;
};

// The platform's own loader.
LibraryLoader& SystemLibraryLoader();

// The folder of the running program's resolved executable (symbolic links followed).
std::string ProgramFolder();

} // namespace serial
