#pragma once
// The Win32 front end of the shared tests, for the tests of what only Windows has.
#include "Fixture.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32NotifyIcon.h"

namespace tg::test {

Win32MainWindow& NativeWindow(Fixture& front);
Win32NotifyIcon& NativeIcon(Fixture& front);

}  // namespace tg::test
