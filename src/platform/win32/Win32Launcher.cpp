#include "platform/win32/Win32Launcher.h"

#include <windows.h>

#include "platform/windows/WideText.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

void Win32Launcher::OpenAddress(std::string_view address) {
    // CreateProcessW may write into the command line, so it is a buffer of our own.
    std::wstring commandLine = m_program + L" \"" + Widen(address) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return;
    // Nothing waits for the browser: both handles go at once.
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
}

}  // namespace tg
