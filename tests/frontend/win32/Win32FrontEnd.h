#pragma once
// The Win32 front end of the shared tests, for the tests of what only Windows has.
#include "FrontEnd.h"
#include "platform/win32/Win32MainWindow.h"

namespace tg::test {

Win32MainWindow& NativeWindow(FrontEnd& front);

}  // namespace tg::test
