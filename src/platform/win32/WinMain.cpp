// tidegauge.exe: the Windows OS adapters and the Win32 front end, started by the program's one
// start-up sequence.
#include <windows.h>

#include "mainwindow/Program.h"
#include "ports/SystemStores.h"
#include "ports/SystemTableSource.h"
#include "platform/windows/ProgramPath.h"
#include "platform/windows/RegistrySettings.h"
#include "platform/windows/Win32Registry.h"
#include "platform/win32/Win32FrontEnd.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    const auto table = tg::MakeSystemTableSource();
    tg::RegistrySettings settings;
    const auto usage = tg::MakeUserUsageStore();
    tg::Win32Registry registry;
    tg::Win32FrontEnd frontEnd(registry, tg::RunningProgramPathForRun());
    if (!frontEnd.Created()) return 1;
    return tg::RunProgram({*table, settings, *usage}, frontEnd);
}
