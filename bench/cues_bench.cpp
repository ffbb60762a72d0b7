// Starting a cue happens inside the play loop on every command key, so it must
// cost next to nothing: a case-insensitive name lookup and one atomic store.

#include "platform/audio.h"
#include "platform/cue_table.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_FindEmbeddedCue(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::FindEmbeddedCue("speakfreezemotionenter"));
        benchmark::DoNotOptimize(platform::FindEmbeddedCue("speakquit"));
    }
}
BENCHMARK(BM_FindEmbeddedCue);

void BM_PlayCueByName(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    bool on = platform::audio::StartAudio();
    for (auto _ : state) {
        platform::audio::PlayCueByName("speakpu");
        platform::audio::PlayCueByName("SPEAKRED");
    }
    platform::audio::StopAudio();
    if (!on) state.SkipWithError("no audio device");
}
BENCHMARK(BM_PlayCueByName);

void BM_StartAudio(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::audio::StartAudio());
        state.PauseTiming();
        platform::audio::StopAudio();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartAudio)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
