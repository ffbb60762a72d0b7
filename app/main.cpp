// The game binary: wires the desktop back end to the main flow.

#include "app/main_flow.h"
#include "platform/platform.h"

namespace {

int PlayOnDesktop(platform::Platform& platform) {
    return app::RunGame(platform);
}

}  // namespace

int main() {
    return platform::RunDesktop(&PlayOnDesktop);
}
