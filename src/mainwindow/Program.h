#pragma once
// The program's start: one sequence for every platform. A platform makes its OS adapters and its
// front end, then hands both to RunProgram, which makes the portable objects over them, starts the
// main window, and runs the front end's message loop until the program ends.
#include "mainwindow/frmMain.h"
#include "ports/Desktop.h"
#include "ports/Form.h"
#include "ports/MessageDialog.h"
#include "ports/NotifyIcon.h"
#include "ports/OptionsPorts.h"
#include "ports/SettingsBackend.h"
#include "ports/Surface.h"
#include "ports/TableSource.h"
#include "ports/UsageStore.h"
#include "usage/frmUsage.h"

namespace tg {

// The OS adapters the main window works on; they outlive RunProgram.
struct SystemPorts {
    TableSource& table;
    SettingsBackend& settings;
    UsageStore& usage;
};

// What the main window's user interface offers the program, all owned by the front end.
struct FrontEndPorts {
    Form& window;
    Surface& picture;  // Picture2
    Desktop& desktop;
    MessageDialog& messages;
    OptionsHost& options;
    UsageHost& usage;
    NotifyIcon* icon = nullptr;
    Notifier* notifier = nullptr;
};

// A platform's user interface: the main window with its picture, the desktop it stands on, and the
// dialogs opened over it.
class FrontEnd {
 public:
    virtual ~FrontEnd() = default;
    virtual FrontEndPorts Ports() = 0;
    // From here on the window's events go to `form`, which outlives the front end's loop.
    virtual void Attach(frmMain& form) = 0;
    // Runs until the program ends; what it returns is the program's exit code.
    virtual int RunMessageLoop() = 0;
};

// Starts the main window over `system` and `frontEnd` and returns the message loop's exit code.
int RunProgram(SystemPorts system, FrontEnd& frontEnd);

}  // namespace tg
