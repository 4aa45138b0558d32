// The game's entry: start-up in its fixed order, the non-blocking message loop with the
// steering and the frames, and the shutdown.
#include <windows.h>

#include <GL/gl.h>

#include "app/engine_log.h"
#include "app/gl_display.h"
#include "app/replay_session.h"
#include "app/shell.h"
#include "game/frame_driver.h"
#include "game/world.h"

namespace {

void RegisterWindowClass(HINSTANCE instance) {
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
    RegisterClassExA(&wc);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    ReadWindowSize("Settings.ini", &screenWidth, &screenHeight);
    int early = 0;
    if (!BeginReplaySession(commandLine, &screenWidth, &screenHeight, &early)) return early;
    StartLog();

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    perfFrequency = frequency.QuadPart;

    RegisterWindowClass(instance);
    mainWindow = CreateWindowExA(WS_EX_TOPMOST, kWindowName, kWindowName, WS_POPUP, 0, 0,
                                 screenWidth, screenHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    ShowCursor(FALSE);

    // The objects are built before any GL context exists; their results are not needed:
    // an object that failed draws what it has.
    LogLine("Loading objects ..");
    fractal.Build();
    flower.Build();
    ship.Build();
    atom.Build();
    atom.SetViewMatrix(game.cameraMatrix);
    LogLine("    OK");
    LogLine("Init engine ...");

    display = new GlDisplay();
    if (!display->Create(mainWindow, screenWidth, screenHeight, 32, 1)) return 0;

    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    LogLine("    OK");
    LogLine("Loading font(s) ..");

    if (!strokeFont.Load("font.txt") || !fontA.Load("font_vimra.tga") ||
        !fontB.Load("font_tech.tga")) {
        // The player gets the desktop back as it was, screen mode and all.
        display->Shutdown();
        return -1;
    }
    LogLine("    OK");
    LogLine("Rendering !");

    SetCursorPos(screenWidth >> 1, screenHeight >> 1);
    Steering steering;
    mouseCentre.x = screenWidth >> 1;
    mouseCentre.y = screenHeight >> 1;

    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        if (game.energy > 0.0f) {
            if (hasFocus) SteerStep(steering, game, ship);
            RunFrame();
            EndReplayFrame();
        } else {
            // The game is over and nothing will be drawn again: sleep until the next
            // message (Escape, a close) instead of spinning a core on an empty queue.
            WaitMessage();
        }
    }

    display->Shutdown();
    delete display;
    display = nullptr;
    return FinishReplaySession((int)msg.wParam);
}
