#pragma once
// The off-screen back end's state: scripted keys, a settable clock, logs.
// Internal to platform/.

#include "platform/offscreen/offscreen.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace platform {

struct ScriptStep {
    std::string key;  // one key as GraphicInkey returns it, when idle_redraws is 0
    int idle_redraws = 0;  // > 0: hold back later keys for this many redraws
    bool pending = false;  // pressed already: DiscardPendingKeys drops it
};

// Made with the handle by CreateOffscreenPlatform, freed with it.
struct Offscreen {
    OffscreenOptions options;
    double clock = 0;                    // seconds since the start day's midnight; may pass 86400
    std::deque<ScriptStep> script;       // keys still to hand out
    std::deque<std::string> console_lines;
    std::vector<PrintedText> printed;
    std::vector<std::string> cues;
    std::string console;
    int redraws = 0;
    bool quit = false;                   // the script ran out while the game waited for a key
    RedrawWatcher watcher = nullptr;     // told of every redraw
    void* watcher_context = nullptr;
    std::int64_t write_budget = -1;      // bytes an append may still write before the disk is "full"; -1 no limit
    bool keep_frames = false;            // repaint only what changed, as the desktop does
};

}  // namespace platform
