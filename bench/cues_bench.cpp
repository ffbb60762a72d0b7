// Starting a cue happens inside the play loop on every command key, so it must
// cost next to nothing: a case-insensitive name lookup and one atomic store.

#include "platform/audio.h"
#include "platform/cue_table.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <thread>

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

// How late a cue starts: from the request to the mixer's first buffer of it.
// With the device open (paused between cues, as in play) the delay is the
// driver's wake-up; with the device resting (closed at a typed line) the cue
// opens it again first, on the opener thread.
void CueStartDelay(benchmark::State& state, bool resting) {
    namespace audio = platform::audio;
    using Clock = std::chrono::steady_clock;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!audio::StartAudio()) {
        state.SkipWithError("no audio device");
        return;
    }
    for (auto _ : state) {
        while (!audio::InspectMixer().sound.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (resting) audio::RestAudio();
        const int started = audio::InspectMixer().sounds_started;
        const Clock::time_point asked = Clock::now();
        audio::PlayCueByName("thunk");
        while (audio::InspectMixer().sounds_started == started) std::this_thread::yield();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - asked).count());
    }
    audio::StopAudio();
}
BENCHMARK_CAPTURE(CueStartDelay, device_open, false)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(CueStartDelay, device_resting, true)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
