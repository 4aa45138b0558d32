#include "platform/gl_display.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

// Tells the player why the display could not be made, then gives back what was taken on
// the way: above all the screen mode, which must not outlive a display that never came.
int GlDisplay::Abandon(const char* text) {
    failure = text;
    MessageBoxA(nullptr, text, "GL_Drv", MB_OK);
    Shutdown();
    return 0;
}

GlDisplay::~GlDisplay() {
    if (active) Shutdown();
}

int GlDisplay::Create(HWND targetWindow, int w, int h, int bits, int wantFullscreen) {
    active = 0;
    window = targetWindow;
    // Handles are only meaningful once acquired; keep Shutdown from releasing garbage
    // after a failed Create.
    deviceContext = nullptr;
    renderContext = nullptr;
    fullscreen = 0;
    failure = nullptr;

    if (wantFullscreen) {
        DEVMODEA mode;
        std::memset(&mode, 0, sizeof(mode));
        mode.dmSize = sizeof(mode);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        mode.dmPelsWidth = (DWORD)w;
        mode.dmPelsHeight = (DWORD)h;
        mode.dmBitsPerPel = (DWORD)bits;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) {
            fullscreen = 1;
        } else {
            const int answer =
                MessageBoxA(nullptr, "Unable to set fullscreen mode.\nUse windowed mode instead?",
                            "Fullscreen", MB_YESNO | MB_ICONEXCLAMATION);
            // A box that could not be shown is no answer from the player.
            if (answer == 0) {
                failure =
                    "Unable to set fullscreen mode, and the question whether to play in a "
                    "window could not be shown.";
                return 0;
            }
            if (answer != IDYES) return 0;
            fullscreen = 0;
        }
        ShowCursor(FALSE);
    }

    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof(pfd));
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = (BYTE)bits;
    pfd.cDepthBits = (BYTE)bits;
    pfd.iLayerType = PFD_MAIN_PLANE;

    deviceContext = GetDC(window);
    if (deviceContext == nullptr) return Abandon("Unable to create a GL device context.");
    int format = ChoosePixelFormat(deviceContext, &pfd);
    if (format == 0) return Abandon("Unable to find a suitable pixelformat.");
    if (!SetPixelFormat(deviceContext, format, &pfd))
        return Abandon("Unable to set the pixelformat.");
    renderContext = wglCreateContext(deviceContext);
    if (renderContext == nullptr) return Abandon("Unable to create a GL rendering context.");
    if (!wglMakeCurrent(deviceContext, renderContext))
        return Abandon("Unable to activate the GL rendering context.");

    glViewport(0, 0, w, h);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, (double)w / (double)h, 0.5, 900.0);
    width = w;
    height = h;
    active = 1;
    glDepthFunc(GL_LEQUAL);
    glCullFace(GL_FRONT);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    glMatrixMode(GL_PROJECTION);
    glEnable(GL_TEXTURE_2D);
    return 1;
}

int GlDisplay::Shutdown() {
    active = 0;
    int result = 1;
    // What has been released is forgotten, so a second Shutdown releases nothing twice.
    if (fullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
        fullscreen = 0;
    }
    if (renderContext != nullptr) {
        if (!wglMakeCurrent(nullptr, nullptr)) {
            MessageBoxA(nullptr, "Release of DC and RC failed.", "GL_Drv", MB_OK);
            result = 0;
        }
        if (!wglDeleteContext(renderContext)) {
            MessageBoxA(nullptr, "Release rendering context failed.", "GL_Drv", MB_OK);
            result = 0;
        }
        renderContext = nullptr;
    }
    if (deviceContext != nullptr) {
        if (!ReleaseDC(window, deviceContext)) result = 0;
        deviceContext = nullptr;
    }
    return result;
}

int GlDisplay::Present() { return SwapBuffers(deviceContext) ? 1 : 0; }
