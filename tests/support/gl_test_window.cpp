#include "tests/support/gl_test_window.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

const char kTestClass[] = "OrvendaleTestWindow";

void RegisterOnce() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTestClass;
    registered = RegisterClassExA(&wc) != 0;
}

}  // namespace

GlTestWindow::GlTestWindow(int width, int height) : width_(width), height_(height) {
#ifndef _WIN32
    // Tests and benchmarks draw as fast as they can: no waiting for vertical sync on Mesa
    // (unless the environment already says otherwise).
    setenv("vblank_mode", "0", 0);
#endif
    RegisterOnce();
    window_ = CreateWindowExA(0, kTestClass, "test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) return;
    dc_ = GetDC(window_);
    if (dc_ == nullptr) return;
    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof(pfd));
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    int format = ChoosePixelFormat(dc_, &pfd);
    if (format == 0 || !SetPixelFormat(dc_, format, &pfd)) return;
    HGLRC rc = wglCreateContext(dc_);
    if (rc == nullptr) return;
    if (!wglMakeCurrent(dc_, rc)) {
        wglDeleteContext(rc);
        return;
    }
    rc_ = rc;
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

GlTestWindow::~GlTestWindow() {
    if (rc_ != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(rc_);
    }
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    if (window_ != nullptr) DestroyWindow(window_);
}

std::vector<unsigned char> GlTestWindow::ReadPixels() const {
    return ReadBackBuffer(width_, height_);
}

long GlTestWindow::RegionBrightness(int x0, int y0, int x1, int y1) const {
    return BackBufferBrightness(width_, height_, x0, y0, x1, y1);
}

std::vector<unsigned char> ReadBackBuffer(int width, int height) {
    std::vector<unsigned char> pixels((size_t)width * (size_t)height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

long BackBufferBrightness(int width, int height, int x0, int y0, int x1, int y1) {
    std::vector<unsigned char> pixels = ReadBackBuffer(width, height);
    long sum = 0;
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < height; ++y)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < width; ++x) {
            const unsigned char* p = &pixels[((size_t)y * (size_t)width + (size_t)x) * 4];
            sum += p[0] + p[1] + p[2];
        }
    return sum;
}

void GlTestWindow::Present() { SwapBuffers(dc_); }

const char* DataPath(const char* fileName) {
    static std::string path;
    path = std::string(ORV_DATA_DIR) + "/" + fileName;
    return path.c_str();
}
