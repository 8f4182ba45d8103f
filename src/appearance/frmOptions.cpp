#include "appearance/frmOptions.h"

#include <array>

#include "appearance/MiscCode.h"
#include "appearance/basCommonDialogs.h"
#include "common/Rounding.h"
#include "common/Texts.h"
#include "settings/Conversions.h"
#include "settings/modRegistry.h"

namespace tg {

namespace {

constexpr std::array<const SettingKey*, kSwatchCount> kSwatchKeys = {&keys::bgcolor1, &keys::bgcolor2, &keys::bgcolor3,
                                                                     &keys::bgcolor4, &keys::bgcolor5};

}  // namespace

std::string TransparencyReadout(std::int16_t position) {
    return FormatText(TextId::OptionsTransparencyValue, {std::to_string(255 - position)});
}

frmOptions::frmOptions(OptionsPortsRefs ports, MainWindowColours current, std::string programPath,
                       std::uintptr_t ownHandle)
    : m_ports(ports), m_current(current), m_programPath(std::move(programPath)), m_handle(ownHandle) {}

void frmOptions::Form_Load() {
    m_ports.dialog.CopyIconFromMainWindow();
    const RegValue run = ReadRegValue(m_ports.registry, RegistryApi::kHkeyCurrentUser, kRunKeyPath, kRunValueName,
                                      std::string());
    const auto* text = std::get_if<std::string>(&run);
    if (text != nullptr && *text == m_programPath && !m_ports.dialog.Check1()) {
        m_ports.dialog.SetCheck1(true);
        Check1_Click();  // the state change runs the click handler, which writes the same path back
    }
    const std::array<std::int32_t, kSwatchCount> defaults = {m_current.pictureBack, m_current.back, 255, 65535,
                                                             m_current.fore};
    for (int n = 1; n <= kSwatchCount; ++n)
        m_ports.dialog.SetSwatchColour(n, ReadColour(m_ports.store, *kSwatchKeys[n - 1], defaults[n - 1]));
    std::int16_t position = ReadOpacityRounded(m_ports.store);
    if (position < kOpacityMin || position > kOpacityMax) position = kOpacityDefault;
    if (position != m_ports.dialog.ScrollPosition()) {
        m_ports.dialog.SetScrollPosition(position);
        HScroll1_Change();
    }
    m_ports.dialog.SetLabel6(TransparencyReadout(m_ports.dialog.ScrollPosition()));
}

void frmOptions::Check1_Click() {
    const std::string value = m_ports.dialog.Check1() ? m_programPath : std::string();
    WriteRegString(m_ports.registry, RegistryApi::kHkeyCurrentUser, kRunKeyPath, kRunValueName, value);
}

void frmOptions::HScroll1_Change() {
    const std::int16_t position = m_ports.dialog.ScrollPosition();
    ApplyTransparency(m_ports.mainWindow, position);
    m_ports.dialog.SetLabel6(TransparencyReadout(position));
    m_ports.store.Write(keys::transpa, position);
}

void frmOptions::HScroll1_Scroll(ScrollAction action, int thumb) {
    if (const auto position = CommitScroll(kHScroll1, m_ports.dialog.ScrollPosition(), action, thumb)) {
        m_ports.dialog.SetScrollPosition(*position);
        HScroll1_Change();
    }
}

void frmOptions::Picture_Click(int n) {
    if (n < 1 || n > kSwatchCount) return;
    const auto chosen = ParseNumber(PickColor(m_ports.colours, m_handle));
    if (chosen) {
        if (const auto colour = ToInt32HalfEven(*chosen)) m_ports.dialog.SetSwatchColour(n, *colour);
    }
    m_ports.store.Write(*kSwatchKeys[n - 1], m_ports.dialog.SwatchColour(n));
}

void frmOptions::Label_Click(LinkLabel label) {
    m_ports.launcher.OpenAddress(label == LinkLabel::Label8 ? kHomePage : kSupportPage);
}

}  // namespace tg
