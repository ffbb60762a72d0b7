// make_icons: draws the game's icon with the game's own scene routines through
// the off-screen back end: the craft seen at an angle, two walls solved in
// their after-arrival look and ROBO standing beyond the third, on the black
// sky. Each size is drawn afresh at its own resolution (not scaled down from a
// big picture) so the small icons keep crisp wall edges; the scalable icon is
// the same drawing kept as vector figures.
//
//   make_icons OUTDIR      writes OUTDIR/gyrovessel-48.png, -128.png, -256.png
//                          and OUTDIR/gyrovessel.svg
//
// The committed icons in assets/icons/ come from this tool.

#include "app/pass_setup.h"
#include "platform/offscreen/offscreen.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "render/view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Half the side of the square of user coordinates the icon shows: the
// projected craft with a margin, so that the craft fills the icon and ROBO
// stands out over its near wall.
float IconHalfSide(const GameState& g) {
    float reach = 0;
    for (int a = 1; a <= 8; ++a) {
        const Point3f& apex = g.glyphs.CharONFACE[0][1][a];
        const Point2f p = render::ProjectPoint(apex.x, apex.y, apex.z);
        reach = std::max({reach, std::abs(p.x), std::abs(p.y)});
    }
    return reach * 1.08f;
}

bool DrawIcon(int size, const std::string& path) {
    app::SceneChoice choice;
    choice.width = size;
    choice.height = size;
    choice.word = "ROBOTS";
    choice.letter_turns = {0, 90, 0, 180, 270, 0};
    choice.target_turns = {0, 90, 0, 180, 270, 0};  // ROBO in its rest pose on every wall
    choice.wander_frames = 700;                    // the craft turned to show three walls
    platform::OffscreenOptions options;
    options.width = size;
    options.height = size;
    options.record_vector = true;  // the SVG keeps the walls and ROBO as polygons
    platform::PlatformHandle window = platform::CreateOffscreenPlatform(options);
    std::unique_ptr<GameState> game = app::BuildChosenScene(choice, window.get());
    GameState& g = *game;

    g.settings.BeforeArrivalLook = 1;  // wall in colour, letter white
    g.settings.AfterArrivalLook = 2;   // wall in colour, letter cut out
    for (int w = 1; w <= 6; ++w) g.scene.FaceLook[w][1] = w <= 3 ? kTrue : kFalse;
    g.etude.FacesDone = 2;

    const float half = IconHalfSide(g);
    platform::GraphicSetColor(*window, platform::Rgb(255, 255, 255), platform::Rgb(0, 0, 0));
    platform::GraphicClear(*window);
    platform::GraphicSetScale(*window, -half, half, half, -half);
    render::DrawCraft(g);
    return platform::SavePicture(*window, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_icons OUTDIR\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    struct Icon {
        int size;
        std::string name;
    };
    const Icon icons[] = {{48, "gyrovessel-48.png"}, {128, "gyrovessel-128.png"},
                          {256, "gyrovessel-256.png"}, {256, "gyrovessel.svg"}};
    for (const Icon& icon : icons) {
        const std::string path = folder + "/" + icon.name;
        if (!DrawIcon(icon.size, path)) {
            std::fprintf(stderr, "make_icons: could not write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
