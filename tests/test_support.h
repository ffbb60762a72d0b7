#pragma once
// Fixtures shared by the tests: a scratch working directory for the tests that
// write player files, the pass canvas the menu, question and report screens
// are drawn on, and a bare off-screen window with the game's centred y-up
// coordinates for the back end's own tests.

#include "app/main_flow.h"
#include "core/game_state.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>

namespace test_support {

// -- Scratch directory --

// A fresh, empty directory made the working directory for as long as the
// object lives: the game names its player files relative to the working
// directory, so every test starts without any. On destruction the previous
// working directory comes back and the scratch one goes, with all it holds.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& prefix = "gyrovessel-test-")
        : previous_(std::filesystem::current_path()) {
        std::random_device entropy;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        // create_directory is false when the name is taken: draw another.
        do {
            path_ = base / (prefix + std::to_string(entropy()) + "-" + std::to_string(entropy()));
        } while (!std::filesystem::create_directory(path_));
        std::filesystem::current_path(path_);
    }

    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// -- Pass canvas --

// An off-screen platform and a GameState attached to it, with the screen
// metrics worked out and the pass window open, as the main flow leaves them
// before the name question, the menu or the report.
class PassCanvasTest : public ::testing::Test {
protected:
    void SetUp() override { OpenCanvas(); }

    void OpenCanvas(int width = 1920, int height = 1080) {
        platform::OffscreenOptions options;
        options.width = width;
        options.height = height;
        platform_ = platform::CreateOffscreenPlatform(options);
        game_ = std::make_unique<GameState>();
        game_->platform = platform_.get();
        render::ComputeScreenMetricsFor(game_->screen, width, height);
        ASSERT_TRUE(app::OpenPassWindow(*game_));
    }

    platform::PlatformHandle platform_;
    std::unique_ptr<GameState> game_;
};

// -- Bare window --

// A window of its own size with the game's centred, y-up coordinates (user
// (x, y) is device column x + width / 2, row height / 2 - y), cleared to
// `background`.
inline platform::PlatformHandle MakeCentredWindow(int width, int height, platform::Color foreground,
                                                  platform::Color background) {
    platform::OffscreenOptions options;
    options.width = width;
    options.height = height;
    platform::PlatformHandle window = platform::CreateOffscreenPlatform(options);
    EXPECT_TRUE(platform::OpenGraphicWindow(*window, "test", 0, 0, width, height));
    platform::GraphicSetColor(*window, foreground, background);
    platform::GraphicSetScale(*window, -width / 2.0f, height / 2.0f, width / 2.0f, -height / 2.0f);
    platform::GraphicClear(*window);
    return window;
}

}  // namespace test_support
