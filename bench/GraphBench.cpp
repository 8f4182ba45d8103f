// One graph step of the main window, frmMain::DrawGraph over a PixelSurface: the whole picture
// scrolled one pixel left and two bars drawn. For the first-start window (181 pixels wide) and for
// one across a 1920-pixel screen. Figures only: nothing here is asserted.
#include <benchmark/benchmark.h>

#include <cmath>

#include "Fakes.h"
#include "MainWindowFakes.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/frmMain.h"

namespace {

void BM_GraphStep(benchmark::State& state) {
    const auto widthPixels = static_cast<float>(state.range(0));
    tg::test::FakeForm form;
    tg::PixelSurface picture{0, 0};
    tg::test::FakeDesktop desktop;
    tg::test::RecordingMessages messages;
    tg::test::MemorySettings settings;
    tg::test::FakeTableSource table;
    tg::test::FakeClock clock;
    tg::test::FakeOptionsHost options;
    tg::frmMain window{{form, picture, desktop, messages, settings, table, clock, options}};
    form.onPlace = [&](const tg::TwipsRect& b) {
        picture.Resize(static_cast<std::int32_t>(std::lround(b.width / 15)),
                       static_cast<std::int32_t>(std::lround(b.height / 15)));
    };
    form.bounds = {0, 0, widthPixels * 15, tg::frmMain::kDesignHeight};
    window.Form_Resize();
    window.PaintBackground();
    double kilobits = 0;
    for (auto _ : state) {
        window.DrawGraph(kilobits, kilobits / 2);
        kilobits = kilobits > 100 ? 0 : kilobits + 7;  // stays under the 128 kb maximum
    }
    benchmark::DoNotOptimize(picture.Data());
    state.counters["pixels"] = picture.Width() * picture.Height();
}
BENCHMARK(BM_GraphStep)->Arg(181)->Arg(1920);

}  // namespace
