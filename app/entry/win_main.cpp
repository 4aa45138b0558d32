// The game's entry: start-up in its fixed order, the non-blocking message loop with the
// steering and the frames, and the shutdown.
#include <windows.h>

#include "app/engine_log.h"
#include "app/replay_session.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/steering.h"
#include "audio/sound.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/gl_display.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    ReadWindowSize("Settings.ini", &screenWidth, &screenHeight);
    int early = 0;
    if (!BeginReplaySession(commandLine, &screenWidth, &screenHeight, &early)) return early;
    StartLog();

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    perfFrequency = frequency.QuadPart;

    OpenMainWindow(instance, showCommand);

    LogLine("Loading objects ..");
    BuildObjects("");
    LogLine("    OK");
    LogLine("Init engine ...");

    display = new GlDisplay();
    if (!display->Create(mainWindow, screenWidth, screenHeight, 32, 1)) return 0;

    SetGlDefaults();
    LogLine("    OK");
    LogLine("Loading font(s) ..");

    if (!LoadFonts("")) {
        // The player gets the desktop back as it was, screen mode and all.
        display->Shutdown();
        return -1;
    }
    LogLine("    OK");
    LogLine("Rendering !");

    CentreMouse();
    Steering steering;
    OpenSound(!CheckingReplay() && ReadSoundOn("Settings.ini"));

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
            UpdateSound();
        } else {
            // The game is over and nothing will be drawn again: sleep until the next
            // message (Escape, a close) instead of spinning a core on an empty queue.
            WaitMessage();
        }
    }

    CloseSound();
    display->Shutdown();
    delete display;
    display = nullptr;
    return FinishReplaySession((int)msg.wParam);
}
