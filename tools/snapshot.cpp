// snapshot: draws one picture of the play scene through the off-screen back
// end and saves it as a PNG. A developer's tool for looking at the scene
// without playing: every choice the picture depends on is an option.
//
//   snapshot --size 1920x1080 --word CRAFTS --letter-turns 0,90,0,180,270,0
//            --target-turns 0,0,90,0,0,0 --before-look 1 --after-look 4
//            --arrived 1,2,3 --sky 4 --wander 300 --out scene.png
//   snapshot --page help --size 1024x768 --player ACE1 --out help.png

#include "app/pass_setup.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "progress/help_page.h"
#include "render/scene.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// An off-screen back end of the chosen size, in which app::BuildChosenScene
// opens the scene's window as every pass does.
platform::PlatformHandle OpenSceneWindow(const app::SceneChoice& choice) {
    platform::OffscreenOptions options;
    options.width = choice.width;
    options.height = choice.height;
    return platform::CreateOffscreenPlatform(options);
}

struct Options {
    app::SceneChoice scene;
    int before_look = 3;
    int after_look = 4;
    int sky = 1;
    std::vector<int> arrived{1};
    int faces_done = -1;  // -1: one fewer than the walls arrived at
    std::array<int, 6> looks{-1, -1, -1, -1, -1, -1};  // FaceLook(w, 0) as the look keys leave it
    std::array<int, 6> matched{};  // ToeDist(w, 0): the corner the toe last matched, 0 none
    std::array<int, 6> expected{};
    std::array<int, 6> observed{};
    double duration = 0;
    double star_phase = 1.0;
    std::string key;
    std::string page = "scene";  // or "help": the HELP page of the menu instead of the scene
    std::string player = "ACE1";
    std::string out = "snapshot.png";
};

void Usage() {
    std::fputs(
        "usage: snapshot [options]\n"
        "  --size WxH             window size (1920x1080)\n"
        "  --word WORD            the six letters on walls 1..6 (CRAFTS)\n"
        "  --letter-turns a,..,f  letter turns of walls 1..6 in degrees (0,0,0,0,0,0)\n"
        "  --target-turns a,..,f  target-corner turns of walls 1..6 in degrees\n"
        "  --matched a,..,f       corner last matched per wall, 0..4 (strip row 2)\n"
        "  --before-look N        look of walls ROBO has not reached, 1..4 (3)\n"
        "  --after-look N         look of walls ROBO has reached, 1..4 (4)\n"
        "  --arrived 1,2,..       walls ROBO has arrived at (1)\n"
        "  --looks a,..,f         each wall's look 0..4; the picture keeps them once six walls are done\n"
        "  --faces-done N         walls solved, 0..6 (arrived walls less one)\n"
        "  --expected a,..,f      key presses expected per wall\n"
        "  --observed a,..,f      key presses made per wall\n"
        "  --duration S           a finished etude's duration in seconds (0: running)\n"
        "  --key K                the key echoed in the status bar\n"
        "  --sky N                sky mode 0..8 (1)\n"
        "  --star-phase X         star growth so far (1.0)\n"
        "  --tumble               knock the ROBO copies out of their rest poses\n"
        "  --etude N              etude kind for --tumble, 1..16 (1)\n"
        "  --wander N             drift frames before the picture (0)\n"
        "  --seed S               clock reading the random numbers start from (12345)\n"
        "  --page scene|help      the play scene, or the HELP page of menu choice 61 (scene)\n"
        "  --player NAME          the player name the HELP page shows (ACE1)\n"
        "  --out PATH             the PNG to write (snapshot.png)\n",
        stderr);
}

std::vector<int> ReadList(const std::string& text) {
    std::vector<int> values;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) values.push_back(std::atoi(item.c_str()));
    return values;
}

bool ReadSix(const std::string& text, std::array<int, 6>& into) {
    std::vector<int> values = ReadList(text);
    if (values.size() != 6) return false;
    for (std::size_t i = 0; i < 6; ++i) into[i] = values[i];
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--tumble") {
            options.scene.tumble = true;
            continue;
        }
        if (name == "--help" || i + 1 >= argc) return false;
        const std::string value = argv[++i];
        bool ok = true;
        if (name == "--size") {
            ok = std::sscanf(value.c_str(), "%dx%d", &options.scene.width, &options.scene.height) == 2 &&
                 options.scene.width > 0 && options.scene.height > 0;
        } else if (name == "--word") {
            ok = value.size() == 6;
            options.scene.word = value;
        } else if (name == "--letter-turns") {
            ok = ReadSix(value, options.scene.letter_turns);
        } else if (name == "--target-turns") {
            ok = ReadSix(value, options.scene.target_turns);
        } else if (name == "--looks") {
            ok = ReadSix(value, options.looks);
        } else if (name == "--matched") {
            ok = ReadSix(value, options.matched);
        } else if (name == "--expected") {
            ok = ReadSix(value, options.expected);
        } else if (name == "--observed") {
            ok = ReadSix(value, options.observed);
        } else if (name == "--before-look") {
            options.before_look = std::atoi(value.c_str());
        } else if (name == "--after-look") {
            options.after_look = std::atoi(value.c_str());
        } else if (name == "--arrived") {
            options.arrived = ReadList(value);
        } else if (name == "--faces-done") {
            options.faces_done = std::atoi(value.c_str());
        } else if (name == "--duration") {
            options.duration = std::atof(value.c_str());
        } else if (name == "--key") {
            options.key = value;
        } else if (name == "--sky") {
            options.sky = std::atoi(value.c_str());
        } else if (name == "--star-phase") {
            options.star_phase = std::atof(value.c_str());
        } else if (name == "--etude") {
            options.scene.etude_kind = std::atoi(value.c_str());
        } else if (name == "--wander") {
            options.scene.wander_frames = std::atoi(value.c_str());
        } else if (name == "--seed") {
            options.scene.seed = std::atof(value.c_str());
        } else if (name == "--page") {
            ok = value == "scene" || value == "help";
            options.page = value;
        } else if (name == "--player") {
            options.player = value;
        } else if (name == "--out") {
            options.out = value;
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "snapshot: bad value for %s: %s\n", name.c_str(), value.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        Usage();
        return 2;
    }
    platform::PlatformHandle window = OpenSceneWindow(options.scene);
    std::unique_ptr<GameState> game = app::BuildChosenScene(options.scene, window.get());
    GameState& g = *game;

    g.settings.BeforeArrivalLook = static_cast<std::int16_t>(options.before_look);
    g.settings.AfterArrivalLook = static_cast<std::int16_t>(options.after_look);
    g.sky.SkyMode = static_cast<std::int16_t>(options.sky);
    g.sky.StarPhase = options.star_phase;
    for (int w = 1; w <= 6; ++w) g.scene.FaceLook[w][1] = kFalse;
    int arrived = 0;
    for (int w : options.arrived) {
        if (w < 1 || w > 6) continue;
        g.scene.FaceLook[w][1] = kTrue;
        ++arrived;
    }
    const int done = options.faces_done >= 0 ? options.faces_done : (arrived > 0 ? arrived - 1 : 0);
    g.etude.FacesDone = static_cast<std::int16_t>(done > 6 ? 6 : done);
    for (int w = 1; w <= 6; ++w) {
        const std::size_t i = static_cast<std::size_t>(w - 1);
        if (options.looks[i] >= 0) g.scene.FaceLook[w][0] = static_cast<std::int16_t>(options.looks[i]);
        g.etude.ToeDist[w][0] = static_cast<float>(options.matched[i]);
        if (!options.scene.tumble) g.etude.FaceKeyStrokes[w][0] = static_cast<std::int16_t>(options.expected[i]);
        g.etude.FaceKeyStrokes[w][1] = static_cast<std::int16_t>(options.observed[i]);
    }
    g.etude.Duration = static_cast<float>(options.duration);
    if (!options.key.empty()) {
        g.play.KeyShown = options.key;
        g.play.KeyShownAt = platform::Timer(*window);
    }

    g.settings.PlayerName = options.player;
    if (options.page == "help") {
        progress::DrawHelpPage(g);
    } else {
        render::DrawScene(g);
    }
    if (!platform::SavePng(*window, options.out)) {
        std::fprintf(stderr, "snapshot: could not write %s\n", options.out.c_str());
        return 1;
    }
    if (options.page == "help") {
        std::printf("%s: %dx%d, the HELP page\n", options.out.c_str(), options.scene.width, options.scene.height);
        return 0;
    }
    std::printf("%s: %dx%d, order %d %d %d %d %d %d\n", options.out.c_str(), options.scene.width,
                options.scene.height, g.scene.DrawCharFacesInThisORDER[1], g.scene.DrawCharFacesInThisORDER[2],
                g.scene.DrawCharFacesInThisORDER[3], g.scene.DrawCharFacesInThisORDER[4],
                g.scene.DrawCharFacesInThisORDER[5], g.scene.DrawCharFacesInThisORDER[6]);
    return 0;
}
