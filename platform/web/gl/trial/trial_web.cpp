// The trial in the browser: a WebGL 1 context on the page's canvas, the browser's GL
// made current on it, then either the scene (for a screenshot) or, with ?load in the
// address, the landscape's line load for a few seconds, its frame rate reported back to
// the server as a request for /fps?... With ?load=N each frame draws the load N times
// over, to see past the page's 60 frames a second.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/web/gl/trial/trial_scene.h"
#include "platform/web/gl/webgl_context.h"

namespace {

const int kWidth = 800;
const int kHeight = 400;
bool g_load = false;
int g_repeats = 1;
GLuint g_texture = 0;
int g_frames = 0;
double g_start = 0.0;
bool g_reported = false;

void Frame() {
    const double now = emscripten_get_now();
    const float t = (float)(now / 1000.0);
    if (!g_load) {
        DrawTrialScene(kWidth, kHeight, 0.6f, g_texture);
        if (++g_frames == 3) std::printf("trial: scene drawn\n");
        return;
    }
    for (int i = 0; i < g_repeats; ++i) DrawLineLoad(kWidth, kHeight, t);
    ++g_frames;
    // Two seconds to settle, then five counted.
    if (g_frames == 1) g_start = now + 2000.0;
    if (now < g_start) {
        g_frames = 1;
        return;
    }
    if (!g_reported && now - g_start >= 5000.0) {
        g_reported = true;
        const double fps = (double)(g_frames - 1) * g_repeats * 1000.0 / (now - g_start);
        char script[160];
        std::snprintf(script, sizeof(script), "fetch('/fps?%.2f')", fps);
        std::printf("trial: %.2f load frames a second (%d a page frame)\n", fps, g_repeats);
        emscripten_run_script(script);
    }
}

}  // namespace

int main() {
    const char* search = emscripten_run_script_string("location.search");
    const char* load = std::strstr(search, "load");
    g_load = load != nullptr;
    if (g_load && load[4] == '=') g_repeats = std::atoi(load + 5) > 0 ? std::atoi(load + 5) : 1;
    emscripten_set_canvas_element_size("#canvas", kWidth, kHeight);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::printf("trial: no WebGL context\n");
        return 1;
    }
    OrvGlContextMadeCurrent(kWidth, kHeight);
    g_texture = MakeTrialTexture();
    emscripten_set_main_loop(Frame, 0, 0);
    return 0;
}
