// The context menu's commands.
#include "common/Twips.h"
#include "mainwindow/InterfaceMenu.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/frmMain.h"

namespace tg {

void frmMain::MenuCommand(MenuItem item) {
    if (ScaleOf(item)) {
        Kbps_Click(item);
        return;
    }
    if (UnitOf(item)) {
        Units_Click(item);
        return;
    }
    if (LanguageOf(item)) {
        Language_Click(item);
        return;
    }
    switch (item) {
        case MenuItem::ontop: ontop_Click(); break;
        case MenuItem::locked: locked_Click(); break;
        case MenuItem::trayicon: trayicon_Click(); break;
        case MenuItem::hidden: hidden_Click(); break;
        case MenuItem::clickthrough: clickthrough_Click(); break;
        case MenuItem::hidefullscreen: hidefullscreen_Click(); break;
        case MenuItem::InterfacesAuto: InterfacesAuto_Click(); break;
        case MenuItem::abt: abt_Click(); break;
        case MenuItem::opt: opt_Click(); break;
        case MenuItem::usage: usage_Click(); break;
        case MenuItem::exit: exit_Click(); break;
        default: break;
    }
}

void frmMain::CheckOnly(MenuItem checked) {
    for (const MenuNode& node : RadioGroup(checked))
        if (node.kind == MenuNodeKind::Radio) m_ports.form.SetMenuChecked(*node.item, node.item == checked);
}

// Picking the scale already chosen does it all again: the graph starts afresh. The automatic
// scale also starts its maximum again from the smallest.
void frmMain::Kbps_Click(MenuItem item) {
    const std::optional<std::int32_t> kbps = ScaleOf(item);
    if (!kbps) return;
    m_scaleKbps = *kbps;
    CheckOnly(item);
    if (m_scaleKbps == kAutomaticScale) m_graphMax = 128;
    m_store.Write(keys::kbps, m_scaleKbps);
    PaintBackground();
}

void frmMain::Units_Click(MenuItem item) {
    const std::optional<DisplayUnit> unit = UnitOf(item);
    if (!unit) return;
    m_units = *unit;
    CheckOnly(item);
    m_store.Write(keys::units, static_cast<std::int32_t>(m_units));
    ShowReadouts();
    if (m_iconShown) RefreshIconText();
}

// The read-outs in the new unit now, not a second later; before the first tick they keep their
// design texts.
void frmMain::ShowReadouts() {
    if (!m_ticked) return;
    ShowRateReadouts();
    m_ports.form.SetLabelText(LabelId::Label1, MaximumText());
}

void frmMain::ShowRateReadouts() {
    m_upText = ReadoutText(Readout::Upload, m_units, m_up);
    m_ports.form.SetLabelText(LabelId::Label10, m_upText);
    PlaceUploadReadout();
    m_downText = ReadoutText(Readout::Download, m_units, m_down);
    m_ports.form.SetLabelText(LabelId::Label9, m_downText);
}

// What shows now changes at once; a dialog takes the language when it next opens.
void frmMain::Language_Click(MenuItem item) {
    const std::optional<Language> language = LanguageOf(item);
    if (!language) return;
    SetLanguage(*language);
    CheckOnly(item);
    m_store.Write(keys::language, LanguageSetting(*language));
    m_ports.form.RelabelMenu();
    ApplyIcon(m_areaAvailable);  // the greyed items' reasons
    if (m_iconShown) RefreshIconText();
    RefreshTooltip();
}

void frmMain::locked_Click() {
    m_locked = !m_locked;
    m_ports.form.SetMenuChecked(MenuItem::locked, m_locked);
    m_store.Write(keys::locked, m_locked ? "1" : "0");
}

// The submenu shows the interfaces of the last tick's read, checked as they count now.
void frmMain::FillInterfaceMenu() {
    const std::vector<InterfaceMenuItem> items = BuildInterfaceMenu(*m_tick.table, m_interfaces);
    std::vector<InterfaceMenuEntry> entries;
    m_menuInterfaces.clear();
    for (const InterfaceMenuItem& item : items) {
        m_menuInterfaces.push_back(item.name);
        entries.push_back(item.entry);
    }
    m_ports.form.SetMenuChecked(MenuItem::InterfacesAuto, m_interfaces.GetMode() == InterfaceSelection::Mode::Automatic);
    m_ports.form.SetInterfaceItems(entries);
}

void frmMain::SelectInterfaces(InterfaceSelection selection) {
    m_interfaces = std::move(selection);
    m_store.Write(keys::interfaces, SelectionToText(m_interfaces));
    if (IP) IP->Select(m_interfaces);
}

void frmMain::InterfacesAuto_Click() { SelectInterfaces(InterfaceSelection()); }

void frmMain::Interface_Click(std::size_t position) {
    if (position < m_menuInterfaces.size()) SelectInterfaces(m_interfaces.Picked(m_menuInterfaces[position]));
}

PixelRect frmMain::ToPixels(const TwipsRect& twips) const {
    return RectToPixels(twips, m_ports.desktop.TwipsPerPixelX(), m_ports.desktop.TwipsPerPixelY());
}

PixelRect frmMain::PlaceInPixels() const { return ToPixels(m_ports.form.Bounds()); }

// Off sends the window behind every other one, not merely out of the topmost band.
void frmMain::ontop_Click() {
    m_ports.form.SetTimerEnabled(false);
    const bool wasOn = m_ports.form.MenuChecked(MenuItem::ontop);
    const PixelRect place = PlaceInPixels();
    if (!wasOn) {
        m_ports.form.SetStacking(true, place);
        m_store.Write(keys::ontop, "1");
        m_ports.form.SetMenuChecked(MenuItem::ontop, true);
    } else {
        m_ports.form.SetStacking(false, place);
        m_ports.form.SetMenuChecked(MenuItem::ontop, false);
        m_store.Write(keys::ontop, "0");
    }
    m_ports.form.SetTimerEnabled(true);
}

void frmMain::exit_Click() { Form_QueryUnload(); }

void frmMain::usage_Click() {
    if (m_ports.usage == nullptr || m_ports.usageDialog == nullptr) return;
    m_usageAsked = true;
    RunDeferred();
}

// One at a time. A dialog opened as a tick ends runs inside the timer's own event, which a platform
// may not deliver again until that returns: the timer starts afresh, so the ticks go on. The limit
// and the period may have changed in it.
void frmMain::OpenUsage() {
    if (m_usageOpen) return;
    m_usageOpen = true;
    m_ports.form.SetTimerEnabled(false);
    m_ports.form.SetTimerEnabled(true);
    m_ports.usageDialog->ShowUsage(m_ports.settings, m_ports.usage->Dates(), m_ports.usage->Log(),
                                   {m_downColor, m_upColor});
    m_usageOpen = false;
    ReadPlan();
}

void frmMain::abt_Click() { m_ports.messages.Show(Text(TextId::About), kAppTitle, MessageIcon::Information); }

// Closing the dialog in any way re-runs the start-up sequence: that is how new colours arrive.
void frmMain::opt_Click() {
    m_ports.options.ShowOptions(m_ports.form, m_ports.settings, {m_pictureBackColor, m_backColor, m_foreColor});
    Form_Load();
}

}  // namespace tg
