// relay-console: the Windows front.

#include "ui/front.h"
#include "ui/win32/win32_front.h"

#include "ui/win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::win32::Win32Front front;
    return ui::RunConsole(front);
}
