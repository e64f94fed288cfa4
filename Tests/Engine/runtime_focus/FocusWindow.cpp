// Takes the keyboard focus from whatever window has it (on a display without a window manager,
// raising a window moves the focus), prints "focus" once SDL reports it, and exits when stdin
// closes or a line arrives on it.
#include <SDL.h>

#include <cstdio>
#include <poll.h>
#include <unistd.h>

int main()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        std::fprintf(stderr, "focus window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("focus", 500, 400, 200, 150, SDL_WINDOW_SHOWN);
    if (window == nullptr)
    {
        std::fprintf(stderr, "focus window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    for (;;)
    {
        SDL_Event event;
        while (SDL_PollEvent(&event))
        {
            if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
            {
                std::printf("focus\n");
                std::fflush(stdout);
            }
        }
        pollfd in = {STDIN_FILENO, POLLIN, 0};
        if (poll(&in, 1, 10) > 0)
            break;
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
