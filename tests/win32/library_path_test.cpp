// Where the Windows console looks for its serial library, and the program folder it starts in.

#include "serial/library_loader.h"
#include "serial/pcomm_binding.h"
#include "ui/win32/windows_api.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(WindowsLibraryCandidates, BelowTheProgramFolderThenFromTheDriveRoot) {
    const std::vector<std::string> expected{"C:\\Tools\\relay\\DLL\\PCOMM.DLL", "\\DLL\\PCOMM.DLL"};
    EXPECT_EQ(serial::LibraryCandidates("C:\\Tools\\relay"), expected);
    EXPECT_EQ(serial::LibraryCandidates("C:\\Tools\\relay\\"), expected);
}

TEST(WindowsProgramFolder, IsTheFolderOfThisProgram) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::filesystem::path(serial::ProgramFolder()),
              std::filesystem::path(path).parent_path());
}

// The stand-in library beside the test programs loads and gives every function the console
// binds; a port nobody has gives the "no such port" code.
TEST(WindowsLibraryLoader, BindsTheStandInLibrary) {
    const auto candidates = serial::LibraryCandidates(serial::ProgramFolder());
    serial::PcommBinding pcomm(serial::SystemLibraryLoader(), candidates,
                               [](const std::string& message) { FAIL() << message; });
    EXPECT_EQ(pcomm.sio_open(250), -2);
    EXPECT_EQ(pcomm.sio_ioctl(250, 12, 3), -1);
    EXPECT_EQ(pcomm.sio_SetReadTimeouts(250, 1000, 0), -1);
    EXPECT_EQ(pcomm.sio_iqueue(250), -1);
    char buffer[4] = {};
    EXPECT_EQ(pcomm.sio_read(250, buffer, 4), -1);
    EXPECT_EQ(pcomm.sio_write(250, buffer, 4), -1);
    EXPECT_EQ(pcomm.sio_close(250), -1);
}

} // namespace
