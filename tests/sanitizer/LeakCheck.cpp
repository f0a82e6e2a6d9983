// Run by the sanitizer build only: opens and closes an OpenGL context, whose
// libraries leave their per-process allocations behind (suppressed), and
// with the argument "leak" also loses a block of its own, which must still
// make LeakSanitizer fail the run.

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstring>

namespace {

int* volatile g_lost = nullptr;

void LeakOnPurpose() {
    g_lost = new int[16];
    g_lost = nullptr;
}

bool TouchOpenGL() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    SDL_Window* window = SDL_CreateWindow("leak check", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    const bool ok = context && glGetString(GL_VERSION) != nullptr;
    if (context) SDL_GL_DeleteContext(context);
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (!TouchOpenGL()) {
        std::fprintf(stderr, "no OpenGL context: %s\n", SDL_GetError());
        return 2;
    }
    if (argc > 1 && std::strcmp(argv[1], "leak") == 0) LeakOnPurpose();
    return 0;
}
