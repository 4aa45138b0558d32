#include "app/startup.h"

#include <GL/gl.h>

#include <string>

#include "app/shell.h"
#include "app/window_proc.h"
#include "game/frame_driver.h"
#include "game/world.h"

namespace {

std::string InFolder(const char* folder, const char* name) { return std::string(folder) + name; }

}  // namespace

void OpenMainWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSEXA wc;
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kWindowName;
    wc.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    // A second start in one process (tests) finds the class already there; that is fine.
    RegisterClassExA(&wc);

    mainWindow = CreateWindowExA(WS_EX_TOPMOST, kWindowName, kWindowName, WS_POPUP, 0, 0,
                                 screenWidth, screenHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    ShowCursor(FALSE);
}

int BuildObjects(const char* dataFolder) {
    // Before any GL context exists; an object that failed draws what it has.
    fractal.Build();
    flower.Build();
    const int shipResult = ship.Build(InFolder(dataFolder, "crfighter.3ds").c_str());
    atom.Build();
    atom.SetViewMatrix(game.cameraMatrix);
    return shipResult;
}

void SetGlDefaults() {
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
}

int LoadFonts(const char* dataFolder) {
    if (!strokeFont.Load(InFolder(dataFolder, "font.txt").c_str()) ||
        !fontA.Load(InFolder(dataFolder, "font_vimra.tga").c_str()) ||
        !fontB.Load(InFolder(dataFolder, "font_tech.tga").c_str()))
        return 0;
    return 1;
}

void CentreMouse() {
    SetCursorPos(screenWidth >> 1, screenHeight >> 1);
    mouseCentre.x = screenWidth >> 1;
    mouseCentre.y = screenHeight >> 1;
}
