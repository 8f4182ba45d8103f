#pragma once
// The main window over fakes of every port but its picture, for timing graph steps on a real
// surface: frmMain::DrawGraph scrolls the whole picture one pixel left and draws two bars.
#include <cmath>
#include <cstdint>
#include <functional>

#include "Fakes.h"
#include "counters/IfTableLayout.h"
#include "counters/IfTableWriter.h"
#include "MainWindowFakes.h"
#include "mainwindow/frmMain.h"
#include "ports/Surface.h"

namespace tg::bench {

class GraphHarness {
 public:
    // `resize` gives the picture its size in pixels when the window lays it out.
    GraphHarness(Surface& picture, std::function<void(std::int32_t, std::int32_t)> resize, int widthPixels)
        : m_window{{m_form, picture, m_desktop, m_messages, m_settings, m_table, m_clock, m_options, nullptr,
                    nullptr, &m_icon}} {
        m_form.onPlace = [resize = std::move(resize)](const TwipsRect& b) {
            resize(static_cast<std::int32_t>(std::lround(b.width / 15)),
                   static_cast<std::int32_t>(std::lround(b.height / 15)));
        };
        m_form.bounds = {0, 0, static_cast<float>(widthPixels) * 15, frmMain::kDesignHeight};
        m_window.Form_Resize();
        m_window.PaintBackground();
    }

    // The start-up over a table of `interfaces` hardware rows, for whole ticks; with `icon` the
    // notification-area icon shows and its texts are built each tick.
    void Load(int interfaces, bool icon = false) {
        std::vector<IfRowFields> rows(static_cast<std::size_t>(interfaces));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].name = u"eth" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
            rows[i].index = static_cast<std::uint32_t>(i + 1);
            rows[i].type = 6;
            rows[i].hardware = true;
            rows[i].description = "eth";
        }
        m_table.SetRows(rows);
        m_settings.Set(kSettingsApp, kSettingsSection, "info", "1");
        m_settings.Set(kSettingsApp, kSettingsSection, "trayicon", icon ? "1" : "0");
        m_window.Form_Load();
    }

    // One whole tick a second later: every interface received 125 kB and sent 12.5 kB.
    void Tick() {
        const std::uint32_t rows = GetU32(m_table.table.data());
        for (std::uint32_t i = 1; i <= rows; ++i) {
            std::uint8_t* row = m_table.table.data() + iftable::RowOffset(i);
            PutU32(row + iftable::kInOctetsOffset, GetU32(row + iftable::kInOctetsOffset) + 125'000);
            PutU32(row + iftable::kOutOctetsOffset, GetU32(row + iftable::kOutOctetsOffset) + 12'500);
        }
        m_clock.Advance(std::chrono::seconds(1));
        m_window.Timer2_Timer();
    }

    // One step with bars that stay under the 128 kb maximum, so no step rescales.
    void Step() {
        m_window.DrawGraph(m_kilobits, m_kilobits / 2);
        m_kilobits = m_kilobits > 100 ? 0 : m_kilobits + 7;
    }

 private:
    test::FakeForm m_form;
    test::FakeDesktop m_desktop;
    test::RecordingMessages m_messages;
    test::MemorySettings m_settings;
    test::FakeTableSource m_table;
    test::FakeClock m_clock;
    test::FakeOptionsHost m_options;
    test::FakeNotifyIcon m_icon;
    frmMain m_window;
    double m_kilobits = 0;
};

}  // namespace tg::bench
