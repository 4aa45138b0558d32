// The game's entry: start-up in its fixed order, the non-blocking message loop with the
// steering and the frames, and the shutdown.
#include <windows.h>

#include "app/engine_log.h"
#include "app/exit_codes.h"
#include "app/flight.h"
#include "app/gamepad.h"
#include "app/replay_session.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/steering.h"
#include "audio/sound.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/gl_display.h"

#include <string>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    ReadWindowSize("Settings.ini", &screenWidth, &screenHeight);
    int early = 0;
    bool inWindow = false;
    if (!BeginReplaySession(commandLine, &screenWidth, &screenHeight, &inWindow, &early))
        return early;
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
    const char* failure = mainWindow == nullptr ? "Unable to create the main window." : nullptr;
    if (failure == nullptr &&
        !display->Create(mainWindow, screenWidth, screenHeight, 32, inWindow ? 0 : 1)) {
        // No to the question whether to play in a window is the player's way out.
        if (display->failure == nullptr) return kExitPlayed;
        failure = display->failure;
    }
    if (failure != nullptr) {
        LogLine((std::string("    Failed: ") + failure).c_str());
        return kExitDisplayFailed;
    }

    SetGlDefaults();
    LogLine("    OK");
    LogLine("Loading font(s) ..");

    if (!LoadFonts("")) {
        // The player gets the desktop back as it was, screen mode and all.
        display->Shutdown();
        return kExitFontFailed;
    }
    LogLine("    OK");
    LogLine("Rendering !");

    steeringSettings = ReadSteeringSettings("Settings.ini");
    StartFlight();
    Gamepads pads;
    bool pauseShown = false;  // the paused picture has been drawn
    OpenSound(!CheckingReplay() && ReadSoundOn("Settings.ini"));

    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        BeginDueFlightSession();
        // The pads, once a frame (and once each time a sleeping game wakes).
        const StickDeflection stick = PollGamepads(pads, mainWindow, hasFocus != 0);
        if (FlightSessionDue()) continue;  // A flew again: the new flight's frames begin
        if (game.paused && !pauseShown) {
            // One frame of no time shows the paused picture; then the loop sleeps.
            RunFrame();
            EndReplayFrame();
            UpdateSound();  // the paused game falls silent at once
            pauseShown = true;
        } else if (game.energy > 0.0f && !game.paused) {
            if (pauseShown) {
                pauseShown = false;
                RestartSteeringClock(steering);
            }
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            SteerFrame(steering, game, ship, hasFocus != 0, now.QuadPart, perfFrequency, stick);
            RunFrame();
            EndReplayFrame();
            UpdateSound();
        } else {
            // The box is confirmed: the results go over the last picture, once, in the
            // same pass that then sleeps, so the loop reads from the platform exactly as
            // it did when a game over was the end.
            if (!(game.energy > 0.0f) && !ResultsShowing()) ShowResults();
            // Paused, or showing the results: sleep until the next message (P, Escape,
            // Space, a close) instead of spinning a core on an empty queue. A pad's
            // buttons send no message, so with a pad there the game wakes now and then
            // to look.
            if (AnyGamepad(pads))
                MsgWaitForMultipleObjects(0, nullptr, FALSE, kPausedPadPollMs, QS_ALLINPUT);
            else
                WaitMessage();
        }
    }

    EndFlights();
    CloseSound();
    display->Shutdown();
    delete display;
    display = nullptr;
    return FinishReplaySession((int)msg.wParam);
}
