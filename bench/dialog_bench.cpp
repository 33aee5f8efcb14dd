// The dialog on the in-memory screen: a keystroke until the repaint it
// causes is finished and presented, and the start of the dialog until its
// first painted frame.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <chrono>

#include "memory_screen.h"
#include "platform.h"

namespace {

using platform::InputEvent;
using platform::Key;
using platform::MemoryScreen;

// Each iteration is one keystroke into the red field, alternately Backspace
// and a digit, so that every one changes the colour.
void BM_KeystrokeToRepaint(benchmark::State &state)
{
    int n = 0;
    MemoryScreen screen(80, 24, [&](const MemoryScreen &, InputEvent *event) {
        if (!state.KeepRunning()) {
            *event = platform::KeyEvent(Key::kEscape);
            return true;
        }
        *event = n++ % 2 ? platform::CharEvent(U'0' + static_cast<char32_t>(n % 10)) : platform::KeyEvent(Key::kBack);
        return true;
    });
    platform::RunOnScreen(screen);
}
BENCHMARK(BM_KeystrokeToRepaint)->Unit(benchmark::kMicrosecond);

void BM_StartToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        double seconds = 0;
        MemoryScreen screen(80, 24, [&](const MemoryScreen &, InputEvent *) {
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return false;
        });
        platform::RunOnScreen(screen);
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
