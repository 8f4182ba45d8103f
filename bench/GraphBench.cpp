// One graph step of the main window: the whole picture scrolled one pixel left and two bars drawn,
// for the first-start window (181 pixels wide) and for one across a 1920-pixel screen. On the
// portable pixel surface, and on the GTK front end's picture together with the paint that puts it
// on the screen. Figures only: nothing here is asserted.
#include <benchmark/benchmark.h>

#include <cairo.h>

#include "GraphHarness.h"
#include "appearance/PixelSurface.h"
#include "platform/gtk/CairoPicture.h"

namespace {

void BM_GraphStep(benchmark::State& state) {
    tg::PixelSurface picture{0, 0};
    tg::bench::GraphHarness graph{picture, [&](std::int32_t w, std::int32_t h) { picture.Resize(w, h); },
                                  static_cast<int>(state.range(0))};
    for (auto _ : state) graph.Step();
    benchmark::DoNotOptimize(picture.Data());
    state.counters["pixels"] = picture.Width() * picture.Height();
}
BENCHMARK(BM_GraphStep)->Arg(181)->Arg(1920);

// A whole tick of the window over a fake table of ten interfaces: the sampler's read and sums, the
// read-outs' texts and the graph step on the portable picture, the tooltip hidden; with the
// argument 1 the notification-area icon shows and its texts are built each tick.
void BM_Tick(benchmark::State& state) {
    tg::PixelSurface picture{0, 0};
    tg::bench::GraphHarness graph{picture, [&](std::int32_t w, std::int32_t h) { picture.Resize(w, h); }, 181};
    graph.Load(10, state.range(0) != 0);
    for (auto _ : state) graph.Tick();
    benchmark::DoNotOptimize(picture.Data());
}
BENCHMARK(BM_Tick)->ArgName("icon")->Arg(0)->Arg(1);

// The step on the GTK picture, then the paint of the picture into a window-sized image, as the
// window's draw handler does once a second where the window's surface is an image (on an X server
// the picture lives there instead once painted, and a paint sends no pixels).
void BM_GraphStepCairo(benchmark::State& state) {
    int changes = 0;
    tg::CairoPicture picture{[&] { ++changes; }};
    tg::bench::GraphHarness graph{picture, [&](std::int32_t w, std::int32_t h) { picture.Resize(w, h); },
                                  static_cast<int>(state.range(0))};
    const int w = picture.Width(), h = picture.Height();
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h + 2);
    cairo_t* cr = cairo_create(window);
    for (auto _ : state) {
        graph.Step();
        picture.Paint(cr, 0, 0);
        cairo_surface_flush(window);
    }
    benchmark::DoNotOptimize(changes);
    state.counters["pixels"] = w * h;
    cairo_destroy(cr);
    cairo_surface_destroy(window);
}
BENCHMARK(BM_GraphStepCairo)->Arg(181)->Arg(1920);

}  // namespace
