// Kelvorin: lists the desktop's top-level windows and changes the one picked.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_window.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    kelvorin::win32::Win32Platform platform;
    kelvorin::win32::MainWindow window(platform, instance);
    return window.Run(showCommand);
}
