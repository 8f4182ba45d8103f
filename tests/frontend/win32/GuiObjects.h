#pragma once
// How many GDI and USER objects the process holds, for leak checks.
//
// Windows answers GetGuiResources. Wine answers 0 there, so under Wine GDI objects are counted in
// the process's GDI handle table, which Wine maps into the process as Windows does (the PEB points
// at it), and USER objects only as the windows of the calling thread: Wine keeps menus, cursors
// and icons in the wineserver, where a process cannot count its own.
#include <windows.h>

#include <string>

namespace tg::test {

struct GuiObjects {
    DWORD gdi = 0;
    DWORD user = 0;
    bool operator==(const GuiObjects& other) const { return gdi == other.gdi && user == other.user; }
};

GuiObjects CountGuiObjects();
// The same for another process; under Wine its USER count is all of the process's windows.
GuiObjects CountGuiObjectsOf(DWORD pid);
// How CountGuiObjects counts on this system, for the test's output.
std::string GuiObjectCountMethod();

}  // namespace tg::test
