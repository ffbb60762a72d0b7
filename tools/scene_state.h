#pragma once
// The snapshot tools' window: an off-screen back end of the chosen size, in
// which app::BuildChosenScene opens the scene's window as every pass does.

#include "app/pass_setup.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"

namespace tools {

inline platform::PlatformHandle OpenSceneWindow(const app::SceneChoice& choice) {
    platform::OffscreenOptions options;
    options.width = choice.width;
    options.height = choice.height;
    return platform::CreateOffscreenPlatform(options);
}

}  // namespace tools
