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

const unsigned char* ProcessEnvironmentBlock() {
    using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (query == nullptr || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
        return nullptr;
    return reinterpret_cast<const unsigned char*>(info.PebBaseAddress);
}

DWORD GdiHandleTableCount() {
    const unsigned char* peb = ProcessEnvironmentBlock();
    if (peb == nullptr) return 0;
    const unsigned char* table = nullptr;
    std::memcpy(&table, peb + kPebGdiTable, sizeof table);
    if (table == nullptr) return 0;
    DWORD live = 0;
    for (std::size_t i = 0; i < kHandleCount; ++i) {
        std::uint16_t type = 0;
        std::memcpy(&type, table + i * kEntrySize + kEntryType, sizeof type);
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

}  // namespace

GuiObjects CountGuiObjects() {
    if (SystemCounts()) {
        return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    }
    return {GdiHandleTableCount(), ThreadWindowCount()};
}

std::string GuiObjectCountMethod() {
    return SystemCounts() ? "GetGuiResources"
                          : "GetGuiResources answers 0: GDI from the process's GDI handle table, USER as the "
                            "thread's windows only";
}

}  // namespace tg::test
