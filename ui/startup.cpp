#include "ui/console.h"
#include "ui/front.h"

#include "serial/pcomm_binding.h"
#include "serial/port_connection.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace ui {

std::unique_ptr<Console> StartConsole(Front& front, serial::Pcomm& pcomm,
                                      serial::PortMapSource& port_map) {
    const WindowLayout& definition = WindowDefinition();
    front.BuildWindow(definition);
    auto console = std::make_unique<Console>(front.Controls(), front.Messages(), pcomm, port_map);
    for (const auto& control : definition.controls) {
        if (control.event != Event::None) {
            front.Connect(control, console->Handler(control));
        }
    }
    console->WindowCreated();
    return console;
}

int RunConsole(Front& front) {
    const std::string program_folder = serial::ProgramFolder();
    std::error_code ignored; // a folder that cannot be entered leaves the current one
    std::filesystem::current_path(program_folder, ignored);

    // Without its serial library the console cannot work: say which file and function are
    // missing, then end.
    serial::PcommBinding pcomm(serial::SystemLibraryLoader(),
                               serial::LibraryCandidates(program_folder),
                               [&front](const std::string& message) {
                                   front.Messages().show(message, serial::kInfoTitle);
                                   std::exit(EXIT_FAILURE);
                               });
    const auto console = StartConsole(front, pcomm, serial::SystemPortMap());
    front.Show();
    return front.Run();
}

} // namespace ui
