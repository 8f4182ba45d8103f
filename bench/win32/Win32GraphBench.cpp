// One graph step of the main window on the Windows picture: the memory bitmap scrolled one pixel
// left with BitBlt and two bars drawn with 1-pixel pens, then the picture copied to a window-sized
// bitmap as WM_PAINT does. For the first-start window (181 pixels) and a 1920-pixel one.
//
// Google Benchmark is not packaged for the MinGW cross build, so this loop does its part: it runs
// steps until a fifth of a second has passed and prints wall and CPU time per step in the same
// shape. Figures only: nothing here is asserted.
#include <windows.h>

#include <cstdio>

#include "GraphHarness.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Picture.h"

namespace {

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 1e7;
}

double WallSeconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void GraphStep(int widthPixels) {
    tg::Win32Picture picture{[] {}, [] {}};
    tg::bench::GraphHarness graph{picture, [&](std::int32_t w, std::int32_t h) { picture.Resize(w, h); },
                                  widthPixels};
    const tg::MemoryBitmap window{picture.Width(), picture.Height() + 2};
    for (int warm = 0; warm < 100; ++warm) graph.Step();
    long long steps = 0;
    const double wall0 = WallSeconds(), cpu0 = CpuSeconds();
    double wall = 0;
    do {
        for (int i = 0; i < 100; ++i) {
            graph.Step();
            picture.Paint(window.Dc(), 0, 0);
        }
        GdiFlush();
        steps += 100;
        wall = WallSeconds() - wall0;
    } while (wall < 0.2);
    const double cpu = CpuSeconds() - cpu0;
    std::printf("BM_GraphStepWin32/%-6d %10.0f ns %10.0f ns %10lld pixels=%d\n", widthPixels, wall / steps * 1e9,
                cpu / steps * 1e9, steps, picture.Width() * picture.Height());
}

}  // namespace

int main() {
    std::printf("%-24s %13s %13s %10s\n", "Benchmark", "Time", "CPU", "Iterations");
    GraphStep(181);
    GraphStep(1920);
    return 0;
}
