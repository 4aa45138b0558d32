// Plays the real game (its WinMain, with the options a player would give) through the
// platform layer's test seam, to make the replays the tests keep and to take pictures of
// chosen frames of a recording or a replay.
//
//   replay_bot record collect|gameover|focus|pad FILE [SHOTS_DIR]
//   replay_bot replay FILE SHOTS_DIR
//
// Run in a folder holding the game's data files, on an X display. While recording, the
// bot sets the clocks so that every frame lasts exactly 1/64 s (a binary fraction: the
// game's times add up without rounding), steers with scripted mouse motion, moves the
// focus, pauses and presses Escape, all from the seam's pump hook, in step with the game's loop.
// The pad game is played with a virtual pad that SDL provides in the process: the stick
// and the d-pad steer, Start pauses and resumes, Y mutes, and the pad is unplugged in
// flight, which pauses the game until the player presses P. A pad plugged in again later
// works at once; the flight runs out of energy, the box is answered, A on the results flies
// again, and the second flight ends with Escape.
// With SHOTS_DIR it writes frames 40, 150 and 250 as shot_<frame>.ppm, read just after
// the frame was shown from the back buffer: Mesa's software drivers (llvmpipe under Xvfb,
// where the tests run) copy it to the window on a swap and keep it, while the front
// buffer of a window reads back black there.
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "game/frame_driver.h"
#include "game/world.h"
#include "platform/sdl/seam.h"

namespace {

const long long kFrameTicks = 15625000;  // 1/64 s of a 1 GHz counter
const long long kFirstCounter = 1000000000LL;
const int kShotFrames[] = {40, 150, 250};

enum class Scenario { None, Collect, GameOver, Focus, Pad };

Scenario g_scenario = Scenario::None;
std::string g_shots;
long long g_counter = kFirstCounter;
int g_frames = 0;              // frames the game has run
long long g_lastSeen = -1;     // the game's last counter when the hook last looked
int g_steerSum = 0;            // the steering target as the game adds it up (x)
int g_steerSumY = 0;
bool g_answerQueued = false;
bool g_escapePushed = false;
int g_quietAfterEnd = 0;
bool g_resumePushed = false;
int g_doneFrame = -1;
int g_pad = -1;             // the virtual pad, while plugged in
int g_padPausedLooks = 0;   // looks of the hook while the pad's Start pause lasts
bool g_startHeld = false;
int g_againFrame = -1;      // the frames flown when A was pressed on the results
int g_resultsLooks = 0;     // looks of the hook at the results since

void WriteShot(int frame) {
    if (g_shots.empty()) return;
    const int w = screenWidth, h = screenHeight;
    std::vector<unsigned char> pixels((size_t)w * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const std::string path = g_shots + "/shot_" + std::to_string(frame) + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    // Bottom row first in GL; a picture file starts at the top.
    for (int y = h - 1; y >= 0; --y) std::fwrite(&pixels[(size_t)y * w * 3], 1, (size_t)w * 3, f);
    std::fclose(f);
}

void PushEscape() {
    if (g_escapePushed) return;
    g_escapePushed = true;
    orvseam::PushKeyDown(VK_ESCAPE);
}

// Pushes the motion that moves the game's steering target to (tx, ty), whole steps of 5
// pixels, at most 40 steps a frame.
void SteerTowards(float tx, float ty) {
    auto steps = [](float want, int have) {
        int s = (int)(want - (float)have);
        if (s > 40) s = 40;
        if (s < -40) s = -40;
        return s;
    };
    const int sx = steps(tx, g_steerSum), sy = steps(ty, g_steerSumY);
    if (sx == 0 && sy == 0) return;
    g_steerSum += sx;
    g_steerSumY += sy;
    orvseam::PushMouseMotion(sx * 5, sy * 5);
}

void PadButton(orvseam::PadButton button, bool down) {
    if (g_pad >= 0) orvseam::SetVirtualPadButton(g_pad, button, down);
}

void PadAxis(orvseam::PadAxis axis, int value) {
    if (g_pad >= 0) orvseam::SetVirtualPadAxis(g_pad, axis, value);
}

void PlayPad(int frame) {
    using orvseam::PadAxis;
    using orvseam::PadButton;
    if (g_startHeld && !game.paused) {
        ::PadButton(PadButton::Start, false);
        g_startHeld = false;
    }
    if (frame == 10) ::PadAxis(PadAxis::LeftX, 32767);                  // full right
    if (frame == 70) ::PadAxis(PadAxis::LeftX, 0);
    if (frame == 70) ::PadAxis(PadAxis::LeftY, -16384);                 // half up
    if (frame == 100) ::PadAxis(PadAxis::LeftY, 0);
    if (frame == 110) ::PadButton(PadButton::DpadLeft, true);
    if (frame == 125) ::PadButton(PadButton::DpadLeft, false);
    if (frame == 130) ::PadAxis(PadAxis::LeftX, -20000);                // part left
    if (frame == 140) {
        ::PadAxis(PadAxis::LeftX, 0);
        ::PadButton(PadButton::Start, true);  // pauses; the hook resumes (see Hook)
        g_startHeld = true;
    }
    if (frame == 180) ::PadButton(PadButton::Y, true);
    if (frame == 182) ::PadButton(PadButton::Y, false);
    if (frame == 190) ::PadAxis(PadAxis::LeftY, 32767);                 // full down
    if (frame == 200 && g_pad >= 0) {
        // Unplugged with the stick held: the game pauses, and P resumes it (see Hook).
        orvseam::DetachVirtualPad(g_pad);
        g_pad = -1;
    }
    if (frame == 260 && g_pad < 0) {
        // Plugged in again: it is there at the next poll.
        std::string why;
        g_pad = orvseam::AttachVirtualPad(&why);
        if (g_pad < 0) std::fprintf(stderr, "replay_bot: no second virtual pad: %s\n", why.c_str());
    }
    // Out of the field, where the energy drains fastest, to reach the results soon.
    if (frame == 270) ::PadAxis(PadAxis::LeftX, 32767);
    if (frame == 650) ::PadAxis(PadAxis::LeftX, 0);
    // The second flight, after A on the results: A let go, and Escape a second in.
    if (g_againFrame >= 0 && frame == g_againFrame + 1) ::PadButton(PadButton::A, false);
    if (g_againFrame >= 0 && frame == g_againFrame + 64) PushEscape();
}

// Once per frame, just after it: what the player does before the next one.
void Play(int frame) {
    switch (g_scenario) {
        case Scenario::Collect: {
            const bool all =
                game.collected[0] > 0 && game.collected[1] > 0 && game.collected[2] > 0;
            if (all && g_doneFrame < 0) g_doneFrame = frame;
            if (g_doneFrame >= 0 && frame >= g_doneFrame + 20) PushEscape();
            if (game.collectibleActive == 1) {
                // The collectible keeps its place relative to the world: it is at the ship
                // when the world offset has moved by minus its sideways position.
                const float* m = game.collectibleMatrix.m;
                SteerTowards(game.worldOffset.x - m[12], game.worldOffset.y - m[13]);
            }
            break;
        }
        case Scenario::Focus:
            if (frame == 10) orvseam::PushMouseMotion(200, 0);
            if (frame == 60) orvseam::PushFocus(mainWindow, false);
            if (frame >= 70 && frame < 130 && frame % 10 == 0) orvseam::PushMouseMotion(50, 0);
            if (frame == 140) orvseam::PushFocus(mainWindow, true);
            if (frame == 160) orvseam::PushMouseMotion(-300, 50);
            // A pause of 2 s, with the hand moving meanwhile (see Hook).
            if (frame == 200) orvseam::PushKeyDown('P');
            if (frame == 280) PushEscape();
            break;
        case Scenario::Pad:
            PlayPad(frame);
            break;
        case Scenario::GameOver:
        case Scenario::None:
            break;
    }
}

void Hook() {
    // The game's own loop has started once the game state has seen a frame or is about to.
    if (g_scenario != Scenario::None && !g_answerQueued && display != nullptr) {
        // The game-over box is answered without waiting (only once the loop runs, so the
        // start-up's questions, if any, are not answered by it).
        orvseam::QueueMessageBoxAnswer(IDOK);
        g_answerQueued = true;
    }
    if (g_scenario == Scenario::Pad && g_pad >= 0 && game.paused &&
        game.lastCounter == g_lastSeen) {
        // Paused by Start, the loop wakes now and then to read the pad. The player lets
        // go of Start, takes 2 s and presses it again.
        ++g_padPausedLooks;
        if (g_padPausedLooks == 1) {
            PadButton(orvseam::PadButton::Start, false);
        } else if (g_padPausedLooks == 4) {
            g_counter += 2 * 1000000000LL;
            orvseam::SetPerformanceCounter(g_counter);
            orvseam::SetMilliseconds(5000 + (long)((g_counter - kFirstCounter) / 1000000));
            PadButton(orvseam::PadButton::Start, true);
        }
        return;
    }
    if (game.paused && game.lastCounter == g_lastSeen && !g_resumePushed) {
        // Paused, the loop sleeps until a message comes. The player takes 2 s, moves the
        // mouse and presses P again.
        g_resumePushed = true;
        g_counter += 2 * 1000000000LL;
        orvseam::SetPerformanceCounter(g_counter);
        orvseam::SetMilliseconds(5000 + (long)((g_counter - kFirstCounter) / 1000000));
        orvseam::PushMouseMotion(400, -100);
        orvseam::PushKeyDown('P');
        return;
    }
    if (game.lastCounter == g_lastSeen && g_scenario == Scenario::Pad &&
        !(game.energy > 0.0f)) {
        // On the results, which wake now and then to read the pad: A flies again.
        if (g_againFrame < 0 && g_pad >= 0) {
            g_againFrame = g_frames;
            PadButton(orvseam::PadButton::A, true);
        } else if (++g_resultsLooks == 1000) {
            PushEscape();  // A did not fly again: the check below says so
        }
        return;
    }
    if (game.lastCounter == g_lastSeen) {
        // No frame since the last look. After game over the loop sleeps until a message
        // comes: the player's Escape, pushed as the loop first looks for one.
        if (g_scenario != Scenario::None && !(game.energy > 0.0f) && ++g_quietAfterEnd == 1)
            PushEscape();
        return;
    }
    g_lastSeen = game.lastCounter;
    ++g_frames;
    for (int shot : kShotFrames)
        if (shot == g_frames) WriteShot(shot);
    if (g_scenario == Scenario::None) return;
    g_counter += kFrameTicks;
    orvseam::SetPerformanceCounter(g_counter);
    orvseam::SetMilliseconds(5000 + (long)((g_counter - kFirstCounter) / 1000000));
    Play(g_frames);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: replay_bot record collect|gameover|focus|pad FILE [SHOTS_DIR]\n"
                 "       replay_bot replay FILE SHOTS_DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string verb = argv[1];
    std::string commandLine;
    if (verb == "record" && (argc == 4 || argc == 5)) {
        const std::string name = argv[2];
        if (name == "collect") g_scenario = Scenario::Collect;
        else if (name == "gameover") g_scenario = Scenario::GameOver;
        else if (name == "focus") g_scenario = Scenario::Focus;
        else if (name == "pad") g_scenario = Scenario::Pad;
        else return Usage();
        commandLine = std::string("--record \"") + argv[3] + "\"";
        if (argc == 5) g_shots = argv[4];
        orvseam::SetPerformanceFrequency(1000000000LL);
        orvseam::SetPerformanceCounter(g_counter);
        orvseam::SetMilliseconds(5000);
        if (g_scenario == Scenario::Pad) {
            std::string why;
            g_pad = orvseam::AttachVirtualPad(&why);
            if (g_pad < 0) {
                std::fprintf(stderr, "replay_bot: no virtual pad: %s\n", why.c_str());
                return 1;
            }
        }
    } else if (verb == "replay" && argc == 4) {
        commandLine = std::string("--replay \"") + argv[2] + "\"";
        g_shots = argv[3];
    } else {
        return Usage();
    }
    orvseam::SetPumpHook(Hook);
    const int result = WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWDEFAULT);
    std::printf("replay_bot: %d frames; collected %d atoms, %d flowers, %d fractals; energy %g\n",
                g_frames, game.collected[0], game.collected[1], game.collected[2],
                (double)game.energy);
    if (g_scenario == Scenario::Collect &&
        !(game.collected[0] > 0 && game.collected[1] > 0 && game.collected[2] > 0)) {
        std::fprintf(stderr, "replay_bot: the game did not collect one of each kind\n");
        return 1;
    }
    if (g_scenario == Scenario::Pad && (g_againFrame < 0 || g_frames < g_againFrame + 64)) {
        std::fprintf(stderr, "replay_bot: A on the results did not fly again\n");
        return 1;
    }
    if (g_scenario == Scenario::GameOver && game.energy > 0.0f) {
        std::fprintf(stderr, "replay_bot: the game did not end in game over\n");
        return 1;
    }
    return result;
}
