// The yardstick for the game's start: a bare SDL program that opens a window
// of the desktop's work area, as the game does, fills it with the name
// question's background and shows it. Nothing else.

#include <SDL.h>

int main(int, char**) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0) SDL_GetDisplayBounds(0, &bounds);
    SDL_Window* window = SDL_CreateWindow("bare", 0, 0, bounds.w, bounds.h, SDL_WINDOW_SHOWN);
    if (window == nullptr) return 1;
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xF0, 0xF0, 0xF0));
    SDL_UpdateWindowSurface(window);
    for (;;) {
        SDL_Event event;
        SDL_WaitEvent(&event);
        if (event.type == SDL_QUIT) break;
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
