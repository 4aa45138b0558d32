// The same scene through the desktop's GL (an SDL2 window on Mesa), written out as a PPM
// picture to compare with the browser's screenshot.
#include <SDL.h>

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "platform/web/gl/trial/trial_scene.h"

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "trial_native.ppm";
    const int width = 800, height = 400;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Window* window = SDL_CreateWindow("trial", 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (window == nullptr || SDL_GL_CreateContext(window) == nullptr) return 1;
    const GLuint texture = MakeTrialTexture();
    DrawTrialScene(width, height, 0.6f, texture);
    glFinish();
    std::vector<unsigned char> rgba((size_t)width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    FILE* f = std::fopen(out, "wb");
    if (f == nullptr) return 1;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) std::fwrite(&rgba[((size_t)y * width + x) * 4], 1, 3, f);
    std::fclose(f);
    SDL_Quit();
    return 0;
}
