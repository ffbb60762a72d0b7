#include "platform/audio.h"

#include "platform/cue_table.h"

#include <SDL.h>

#if defined(__linux__)
#include <dlfcn.h>
#endif

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::audio {
namespace {

// -- The mixer --
// The audio device is one per process and the calls above take no handle, so
// the mixer is the one piece of module state in this file.
//
// Who touches what:
//  - the device's callback (SDL's audio thread) reads the request, plays the
//    sound it names and publishes what it plays; it shares only the atomics,
//    and the sounds' samples, which are complete before their request is posted;
//  - everyone else (the game thread, the window thread's alert for a key that
//    finds the key queue full, the opener thread) turns the device on and off,
//    converts a recording and posts a request only under device_lock, which
//    the callback never takes, so that closing the device (which waits for the
//    callback's thread) cannot wait on it. Of two requests at once one plays.
//  - a sound asked for while the device rests opens it on a short-lived opener
//    thread, which lets go of the lock while SDL opens the device and takes
//    it again to hand the device over; the request waits in the atomic
//    meanwhile and is played as soon as the device runs.

constexpr int kMixRate = 22050;
constexpr Uint16 kMixFrames = 512;          // ~23 ms a buffer: a cue starts at once
constexpr std::uint32_t kSilent = 0xFFFFFFFFu;
constexpr auto kQuitGrace = std::chrono::milliseconds(350);    // lets the quit alert be heard
constexpr auto kCloseTimeout = std::chrono::milliseconds(1000);  // a stuck device is left behind

constexpr std::uint64_t PackState(std::uint32_t sound, std::size_t frames) {
    return (static_cast<std::uint64_t>(sound) << 32) | static_cast<std::uint32_t>(frames);
}

struct Sound {
    const char* name = "";
    const EmbeddedCue* recording = nullptr;
    bool converted = false;             // samples made, at the first request for the sound
    std::vector<std::int16_t> samples;  // mono, 22050 Hz
};

struct Mixer {
    std::mutex device_lock;
    // -- Under device_lock --
    bool sound_on = false;          // turned on, and no device has failed since
    bool said_sound_is_off = false;
    bool device_abandoned = false;  // a close that never returned: its callback may still run
    bool opening = false;           // an opener thread has yet to finish
    bool held = false;              // no device opens until let go (the first picture comes first)
    std::condition_variable opener_done;
    // The cues in EmbeddedCues() order, then the default alert; made when sound
    // is turned on, each converted at its first request and kept for the run.
    std::vector<Sound> sounds;

    // Set under device_lock while the device is open (its subsystem with it);
    // 0 while sound is off or resting. Read by any thread.
    std::atomic<SDL_AudioDeviceID> device{0};

    // Game side -> callback: (serial << 32) | sound index.
    std::atomic<std::uint64_t> request{kSilent};
    std::atomic<std::uint32_t> next_serial{0};

    // Callback side only (set up before the device runs).
    std::uint64_t seen_request = kSilent;
    std::uint32_t playing = kSilent;
    std::size_t position = 0;

    // Callback -> anyone: what the mixer is doing.
    std::atomic<std::uint64_t> published_request{kSilent};
    std::atomic<std::uint64_t> published_state{PackState(kSilent, 0)};  // (sound << 32) | frames played
    std::atomic<int> sounds_started{0};
};

Mixer& TheMixer() {
    static Mixer mixer;
    return mixer;
}

std::uint32_t AlertIndex() { return static_cast<std::uint32_t>(EmbeddedCues().size()); }

void MixCallback(void* userdata, Uint8* stream, int length) {
    Mixer& mixer = *static_cast<Mixer*>(userdata);
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    std::size_t frames = static_cast<std::size_t>(length) / sizeof(std::int16_t);

    std::uint64_t request = mixer.request.load(std::memory_order_acquire);
    if (request != mixer.seen_request) {
        mixer.seen_request = request;
        auto sound = static_cast<std::uint32_t>(request & 0xFFFFFFFFu);
        mixer.playing = sound < mixer.sounds.size() ? sound : kSilent;
        mixer.position = 0;
        if (mixer.playing != kSilent) mixer.sounds_started.fetch_add(1, std::memory_order_relaxed);
    }

    std::size_t copied = 0;
    if (mixer.playing != kSilent) {
        const std::vector<std::int16_t>& samples = mixer.sounds[mixer.playing].samples;
        std::size_t left = samples.size() - mixer.position;
        copied = left < frames ? left : frames;
        std::memcpy(out, samples.data() + mixer.position, copied * sizeof(std::int16_t));
        mixer.position += copied;
    }
    std::memset(out + copied, 0, (frames - copied) * sizeof(std::int16_t));

    std::uint64_t state = PackState(mixer.playing, mixer.position);
    if (mixer.playing != kSilent && mixer.position >= mixer.sounds[mixer.playing].samples.size()) {
        mixer.playing = kSilent;
        state = PackState(kSilent, 0);
    }
    mixer.published_state.store(state, std::memory_order_release);
    mixer.published_request.store(request, std::memory_order_release);
    // Nothing to play: the device rests until the next request resumes it. SDL
    // holds the device's (recursive) lock around this callback, and a request
    // resumes under the same lock, so one posted meanwhile is seen here. The
    // device id stays set until its close has returned.
    if (mixer.playing == kSilent && mixer.request.load(std::memory_order_acquire) == mixer.seen_request)
        SDL_PauseAudioDevice(mixer.device.load(), 1);
}

// -- Converting the recordings --

// Reads one embedded WAVE file and converts it to the device's format. A file
// SDL cannot read gives an empty sound, which plays as nothing.
Sound ConvertRecording(const EmbeddedCue& cue) {
    Sound sound;
    sound.name = cue.name;
    SDL_AudioSpec wav_format;
    Uint8* data = nullptr;
    Uint32 data_size = 0;
    SDL_RWops* reader = SDL_RWFromConstMem(cue.bytes, static_cast<int>(cue.size));
    if (SDL_LoadWAV_RW(reader, 1, &wav_format, &data, &data_size) == nullptr) {
        std::fprintf(stderr, "Sound %s cannot be read: %s\n", cue.name, SDL_GetError());
        return sound;
    }
    SDL_AudioCVT converter;
    int needed = SDL_BuildAudioCVT(&converter, wav_format.format, wav_format.channels, wav_format.freq, AUDIO_S16SYS, 1, kMixRate);
    if (needed < 0) {
        std::fprintf(stderr, "Sound %s cannot be converted: %s\n", cue.name, SDL_GetError());
        SDL_FreeWAV(data);
        return sound;
    }
    std::vector<Uint8> buffer(static_cast<std::size_t>(data_size) * (needed ? converter.len_mult : 1));
    std::memcpy(buffer.data(), data, data_size);
    SDL_FreeWAV(data);
    std::size_t converted_size = data_size;
    if (needed) {
        converter.buf = buffer.data();
        converter.len = static_cast<int>(data_size);
        if (SDL_ConvertAudio(&converter) != 0) return sound;
        converted_size = static_cast<std::size_t>(converter.len_cvt);
    }
    sound.samples.resize(converted_size / sizeof(std::int16_t));
    std::memcpy(sound.samples.data(), buffer.data(), sound.samples.size() * sizeof(std::int16_t));
    return sound;
}

#if defined(__linux__)
void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
#endif

// On a machine without a sound card the ALSA library prints a screenful of
// its own configuration errors while SDL probes it. SDL reports the failure
// anyway, so ALSA's messages are routed nowhere and "Sound is off" stays the
// only line. The library is kept loaded so that the handler stays in place.
void QuietAlsaLibrary() {
#if defined(__linux__)
    static bool done = false;
    if (done) return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (alsa == nullptr) return;
    using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetErrorHandler = int (*)(ErrorHandler);
    auto set_handler = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler != nullptr) set_handler(&IgnoreAlsaMessage);
#endif
}

void SaySoundIsOff(Mixer& mixer, const char* reason) {
    if (mixer.said_sound_is_off) return;
    mixer.said_sound_is_off = true;
    std::fprintf(stderr, "Sound is off: %s\n", reason);
}

// True while a sound is audible or a request has not yet reached the mixer.
bool MixerBusy(const Mixer& mixer) {
    if (mixer.request.load() != mixer.published_request.load()) return true;
    return (mixer.published_state.load() >> 32) != kSilent;
}

// -- The device (all under device_lock) --

void MakeSoundList(Mixer& mixer) {
    if (!mixer.sounds.empty()) return;
    for (const EmbeddedCue* cue : EmbeddedCues()) mixer.sounds.push_back(Sound{cue->name, cue, false, {}});
    const EmbeddedCue& alert = EmbeddedDefaultAlert();
    mixer.sounds.push_back(Sound{alert.name, &alert, false, {}});
}

// A recording is converted the first time it is to play, by whoever asks for
// it while the device runs, or else when the device opens for it.
void ConvertOnce(Mixer& mixer, std::uint32_t sound) {
    if (sound >= mixer.sounds.size() || mixer.sounds[sound].converted) return;
    Sound& wanted = mixer.sounds[sound];
    wanted.samples = ConvertRecording(*wanted.recording).samples;
    wanted.converted = true;
}

// SDL's side of opening: the subsystem and a device, paused (SDL opens every
// device paused). It touches no field of the mixer, so it may run without the
// lock. 0, and why, when there is none.
SDL_AudioDeviceID OpenSdlDevice(Mixer& mixer, std::string& reason) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
        return 0;
    }
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = kMixRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kMixFrames;
    wanted.callback = MixCallback;
    wanted.userdata = &mixer;
    // No changes allowed: SDL converts to whatever the hardware wants.
    SDL_AudioSpec obtained;
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    return device;
}

// The mixer takes a device just opened, still paused, with the sound that
// waits for it converted; or, without one, sound goes off (said once).
bool AdoptDevice(Mixer& mixer, SDL_AudioDeviceID device, const std::string& reason) {
    if (device == 0) {
        SaySoundIsOff(mixer, reason.c_str());
        mixer.sound_on = false;
        return false;
    }
    ConvertOnce(mixer, static_cast<std::uint32_t>(mixer.request.load() & 0xFFFFFFFFu));
    // A request the last device never took up is played by this one.
    mixer.seen_request = mixer.published_request.load();
    mixer.playing = kSilent;
    mixer.position = 0;
    mixer.published_state.store(PackState(kSilent, 0));
    mixer.device = device;
    return true;
}

// Opens the subsystem and the device, paused. False (and sound off, said
// once) when there is none.
bool OpenDevice(Mixer& mixer) {
    if (mixer.device != 0) return true;
    QuietAlsaLibrary();
    std::string reason;
    const SDL_AudioDeviceID device = OpenSdlDevice(mixer, reason);
    return AdoptDevice(mixer, device, reason);
}

// Closes the device and its subsystem. Closing joins SDL's audio thread,
// which a stuck driver could hold for ever; the close runs aside and is
// abandoned after a second, and sound stays off for the run.
void CloseDevice(Mixer& mixer) {
    SDL_AudioDeviceID device = mixer.device.load();
    if (device == 0) return;
    struct Closing {
        std::mutex lock;
        std::condition_variable done_signal;
        bool done = false;
    };
    auto closing = std::make_shared<Closing>();
    std::thread closer([device, closing] {
        SDL_CloseAudioDevice(device);
        std::lock_guard<std::mutex> guard(closing->lock);
        closing->done = true;
        closing->done_signal.notify_all();
    });
    bool closed = false;
    {
        std::unique_lock<std::mutex> guard(closing->lock);
        closed = closing->done_signal.wait_for(guard, kCloseTimeout, [&] { return closing->done; });
    }
    if (!closed) {
        // The abandoned thread may still run the callback: keep the sounds and the id.
        closer.detach();
        mixer.device_abandoned = true;
        mixer.sound_on = false;
        std::fprintf(stderr, "Sound device did not close; leaving it.\n");
        return;
    }
    closer.join();
    mixer.device = 0;
    mixer.published_state.store(PackState(kSilent, 0));
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The opener thread's work. It is detached: whoever must know that it is done
// (stopping sound) waits for `opening` to clear. It signals under the lock, so
// that once the lock is let go nothing of the mixer is touched by it again.
void OpenInBackground(Mixer& mixer) {
    std::unique_lock<std::mutex> guard(mixer.device_lock);
    if (mixer.sound_on && mixer.device == 0) {
        QuietAlsaLibrary();
        // SDL's opening takes milliseconds, more behind a sound server: it runs
        // without the lock, so that a cue asked for meanwhile is only posted
        // and nobody waits. While `opening` is set no one else opens or
        // closes a device, nor clears the sounds.
        guard.unlock();
        std::string reason;
        const SDL_AudioDeviceID device = OpenSdlDevice(mixer, reason);
        guard.lock();
        if (AdoptDevice(mixer, device, reason) && MixerBusy(mixer)) SDL_PauseAudioDevice(mixer.device, 0);
    }
    mixer.opening = false;
    mixer.opener_done.notify_all();
}

// With the lock held: a device is on its way for a sound that waits.
void OpenForWaitingSound(Mixer& mixer) {
    if (mixer.device != 0 || mixer.opening || mixer.held || !mixer.sound_on || !MixerBusy(mixer)) return;
    // An SDL thread, not a plain one: SDL keeps per-thread error text, and
    // frees it only for threads it made itself.
    auto open = [](void* data) {
        OpenInBackground(*static_cast<Mixer*>(data));
        return 0;
    };
    SDL_Thread* opener = SDL_CreateThread(open, "sound opener", &mixer);
    if (opener == nullptr) return;  // the sound waits for the next request
    mixer.opening = true;
    SDL_DetachThread(opener);
}

void Request(std::uint32_t sound) {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.device_lock);
    if (!mixer.sound_on || sound >= mixer.sounds.size()) return;
    if (mixer.device != 0) ConvertOnce(mixer, sound);
    std::uint64_t serial = mixer.next_serial.fetch_add(1, std::memory_order_relaxed) + 1;
    mixer.request.store((serial << 32) | sound, std::memory_order_release);
    if (mixer.device != 0) {
        SDL_PauseAudioDevice(mixer.device, 0);
    } else {
        OpenForWaitingSound(mixer);
    }
}

}  // namespace

// -- Starting and stopping --

bool StartAudio() {
    Mixer& mixer = TheMixer();
    std::unique_lock<std::mutex> guard(mixer.device_lock);
    mixer.opener_done.wait(guard, [&] { return !mixer.opening; });  // one device at a time
    if (mixer.device_abandoned) return false;
    if (!mixer.sound_on) mixer.sounds_started.store(0);
    MakeSoundList(mixer);
    mixer.sound_on = true;
    return OpenDevice(mixer);
}

void StartAudioAtFirstSound() {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.device_lock);
    if (mixer.device_abandoned || mixer.sound_on) return;
    mixer.sounds_started.store(0);
    MakeSoundList(mixer);
    mixer.sound_on = true;
}

void HoldAudio(bool held) {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.device_lock);
    mixer.held = held;
    OpenForWaitingSound(mixer);
}

void RestAudio() {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.device_lock);
    if (mixer.device == 0 || mixer.opening || mixer.device_abandoned || MixerBusy(mixer)) return;
    CloseDevice(mixer);
}

void StopAudio() {
    Mixer& mixer = TheMixer();
    std::unique_lock<std::mutex> guard(mixer.device_lock);
    // A device on its way opens first, so that a sound just asked for is heard too.
    mixer.opener_done.wait(guard, [&] { return !mixer.opening; });
    mixer.sound_on = false;
    if (mixer.device == 0 || mixer.device_abandoned) return;
    auto grace_end = std::chrono::steady_clock::now() + kQuitGrace;
    while (MixerBusy(mixer) && std::chrono::steady_clock::now() < grace_end) SDL_Delay(10);
    CloseDevice(mixer);
    if (!mixer.device_abandoned) mixer.sounds.clear();
}

// -- Playing --

void PlayCueByName(std::string_view name) {
    const EmbeddedCue* cue = FindEmbeddedCue(name);
    if (cue == nullptr) {
        PlayDefaultAlert();
        return;
    }
    std::span<const EmbeddedCue* const> cues = EmbeddedCues();
    for (std::uint32_t index = 0; index < cues.size(); ++index) {
        if (cues[index] == cue) Request(index);
    }
}

void PlayDefaultAlert() { Request(AlertIndex()); }

// -- Inspection --

MixerView InspectMixer() {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.device_lock);
    MixerView view;
    view.sounds_started = mixer.sounds_started.load();
    view.device_open = mixer.device != 0 && !mixer.device_abandoned;
    if (!view.device_open) return view;
    std::uint64_t state = mixer.published_state.load(std::memory_order_acquire);
    auto sound = static_cast<std::uint32_t>(state >> 32);
    if (sound == kSilent || sound >= mixer.sounds.size()) return view;
    view.sound = mixer.sounds[sound].name;
    view.frames_played = static_cast<std::size_t>(state & 0xFFFFFFFFu);
    view.frames_total = mixer.sounds[sound].samples.size();
    return view;
}

std::string CurrentCueName() { return InspectMixer().sound; }

bool AudioIsOn() {
    Mixer& mixer = TheMixer();
    std::lock_guard<std::mutex> guard(mixer.device_lock);
    return mixer.sound_on;
}

}  // namespace platform::audio
