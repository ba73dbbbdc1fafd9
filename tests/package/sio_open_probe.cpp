// Opens one COM port through a given serial library file and prints what sio_open returned:
// how the package test proves that an installed library works on its own.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sio-open-probe LIBRARY COM-NUMBER\n");
        return 2;
    }
    void* library = dlopen(argv[1], RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    using OpenFn = int (*)(int);
    using CloseFn = int (*)(int);
    auto open = reinterpret_cast<OpenFn>(dlsym(library, "sio_open"));
    auto close = reinterpret_cast<CloseFn>(dlsym(library, "sio_close"));
    if (open == nullptr || close == nullptr) {
        std::fprintf(stderr, "sio_open or sio_close is not exported\n");
        return 1;
    }
    const int port = std::atoi(argv[2]);
    const int result = open(port);
    std::printf("%d\n", result);
    if (result == 0) {
        close(port);
    }
    return 0;
}
