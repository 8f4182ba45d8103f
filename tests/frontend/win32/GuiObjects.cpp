#include "GuiObjects.h"

#include <winternl.h>

#include <cstdint>
#include <cstring>

namespace tg::test {

namespace {

// The GDI handle table's layout on 64-bit Windows and Wine: the PEB field that points at it, and
// per handle a kernel pointer, process id, count, upper handle bits, type, user pointer.
constexpr std::size_t kPebGdiTable = 0xF8;
constexpr std::size_t kHandleCount = 0x10000;
constexpr std::size_t kEntrySize = 24;
constexpr std::size_t kEntryType = 14;
static_assert(sizeof(void*) == 8, "the table layout above is the 64-bit one");

bool SystemCounts() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0; }

const unsigned char* ProcessEnvironmentBlock(HANDLE process) {
    using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (query == nullptr || query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return nullptr;
    return reinterpret_cast<const unsigned char*>(info.PebBaseAddress);
}

// Reads through ReadProcessMemory, so the same code counts this process and another one.
bool Read(HANDLE process, const unsigned char* at, void* into, std::size_t size) {
    SIZE_T done = 0;
    return ReadProcessMemory(process, at, into, size, &done) && done == size;
}

DWORD GdiHandleTableCount(HANDLE process) {
    const unsigned char* peb = ProcessEnvironmentBlock(process);
    const unsigned char* table = nullptr;
    if (peb == nullptr || !Read(process, peb + kPebGdiTable, &table, sizeof table) || table == nullptr) return 0;
    std::string entries(kHandleCount * kEntrySize, '\0');
    if (!Read(process, table, entries.data(), entries.size())) return 0;
    DWORD live = 0;
    for (std::size_t i = 0; i < kHandleCount; ++i) {
        std::uint16_t type = 0;
        std::memcpy(&type, entries.data() + i * kEntrySize + kEntryType, sizeof type);
        if (type != 0) ++live;
    }
    return live;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

DWORD ThreadWindowCount() {
    DWORD count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

struct ProcessWindows {
    DWORD pid;
    DWORD count;
};

BOOL CALLBACK CountProcessWindow(HWND window, LPARAM param) {
    auto* of = reinterpret_cast<ProcessWindows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == of->pid) CountWindow(window, reinterpret_cast<LPARAM>(&of->count));
    return TRUE;
}

}  // namespace

GuiObjects CountGuiObjects() {
    if (SystemCounts()) {
        return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    }
    return {GdiHandleTableCount(GetCurrentProcess()), ThreadWindowCount()};
}

GuiObjects CountGuiObjectsOf(DWORD pid) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (process == nullptr) return {};
    GuiObjects counted{GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS)};
    if (counted.gdi == 0) {
        ProcessWindows windows{pid, 0};
        EnumWindows(CountProcessWindow, reinterpret_cast<LPARAM>(&windows));
        counted = {GdiHandleTableCount(process), windows.count};
    }
    CloseHandle(process);
    return counted;
}

std::string GuiObjectCountMethod() {
    return SystemCounts() ? "GetGuiResources"
                          : "GetGuiResources answers 0: GDI from the process's GDI handle table, USER as the "
                            "thread's windows only";
}

}  // namespace tg::test
