#include "mainwindow/Program.h"

#include "ports/Calendar.h"
#include "ports/Clock.h"
#include "usage/UsageRecorder.h"

namespace tg {

int RunProgram(SystemPorts system, FrontEnd& frontEnd) {
    SteadyClock clock;
    SystemCalendar calendar;
    UsageRecorder usage(system.usage, calendar, clock, ReportOnStandardError);
    const FrontEndPorts ui = frontEnd.Ports();
    frmMain form({ui.window, ui.picture, ui.desktop, ui.messages, system.settings, system.table, clock, ui.options,
                  &usage, &ui.usage, ui.icon, ui.notifier});
    frontEnd.Attach(form);
    form.Form_Initialize();
    form.Form_Load();
    return frontEnd.RunMessageLoop();
}

}  // namespace tg
