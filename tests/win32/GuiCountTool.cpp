// guicount NAME.exe: prints "gdi user" for the first running process of that name, for watching a
// long run of the real program from outside it. Exits 1 when no such process runs.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>

#include "GuiObjects.h"

namespace {

DWORD FindProcess(const wchar_t* name) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD pid = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && pid == 0; more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, name) == 0) pid = entry.th32ProcessID;
    CloseHandle(snapshot);
    return pid;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: guicount NAME.exe\n", stderr);
        return 2;
    }
    const DWORD pid = FindProcess(argv[1]);
    if (pid == 0) return 1;
    const tg::test::GuiObjects counted = tg::test::CountGuiObjectsOf(pid);
    std::printf("%lu %lu\n", counted.gdi, counted.user);
    return 0;
}
