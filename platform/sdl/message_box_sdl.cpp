// MessageBoxA over SDL's message boxes. Texts are read in code page 1250 (the game's
// ANSI code page) and converted to UTF-8. As on Windows, the first button is the
// default one (Return answers it). With no display at all the box is written to the
// terminal and the call fails with 0, as MessageBoxA does when it cannot show a box.
// With a display that cannot show one (an X server without the core fonts the boxes are
// drawn with, and no zenity), the box also goes to the terminal, but the call answers
// with the default button: that is the answer a player pressing Return would give, and
// the program goes on instead of taking the failure for a "No".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/message_box_1250.h"
#include "platform/standin/replay_internal.h"
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/seam_internal.h"


using namespace orvsdl;

namespace {

struct Buttons {
    std::vector<SDL_MessageBoxButtonData> list;
};

Buttons ButtonsFor(UINT type) {
    Buttons b;
    const Uint32 kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    switch (type & 0xF) {
        case MB_YESNO:
            // No Escape answer: a Windows yes/no box has no Cancel either.
            b.list.push_back({kReturn, IDYES, "Yes"});
            b.list.push_back({0, IDNO, "No"});
            break;
        case MB_OKCANCEL:
            b.list.push_back({kReturn, IDOK, "OK"});
            b.list.push_back({kEscape, IDCANCEL, "Cancel"});
            break;
        default:
            b.list.push_back({kReturn | kEscape, IDOK, "OK"});
            break;
    }
    return b;
}

// The answer of the default (first) button, and its label.
int DefaultAnswer(UINT type, const char** label) {
    switch (type & 0xF) {
        case MB_YESNO: *label = "Yes"; return IDYES;
        default: *label = "OK"; return IDOK;
    }
}

Uint32 IconFlags(UINT type) {
    switch (type & 0xF0) {
        case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
        case MB_ICONEXCLAMATION: return SDL_MESSAGEBOX_WARNING;
        default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

namespace {

int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string utf8Text = Cp1250ToUtf8(text);
    std::string utf8Caption = Cp1250ToUtf8(caption ? caption : "Error");
    if (orvseam::EnterCall(orvseam::Call::MessageBox)) return 0;
    int answer = 0;
    if (orvseam::TakeMessageBoxAnswer(utf8Text, utf8Caption, type, &answer)) return answer;

    Buttons buttons = ButtonsFor(type);
    SDL_MessageBoxData data{};
    data.flags = IconFlags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    WindowRecord* w = FromHandle(owner);
    data.window = (w != nullptr && !w->destroyed) ? w->sdl : nullptr;
    data.title = utf8Caption.c_str();
    data.message = utf8Text.c_str();
    data.numbuttons = (int)buttons.list.size();
    data.buttons = buttons.list.data();

    // The player must be able to reach the box: give the pointer back while it is up.
    SuspendRelativeMouse();
    // SDL shows X11 boxes from a short-lived child process, which now and then fails to
    // start; a box the player must answer is worth a second try.
    const bool haveDisplay = EnsureVideo();
    int shown = -1;
    for (int attempt = 0; attempt < 3 && shown != 0 && haveDisplay; ++attempt) {
        if (orvseam::MessageBoxesUnshowable()) {
            SDL_SetError("boxes cannot be shown on this display");
            break;
        }
        shown = SDL_ShowMessageBox(&data, &answer);
    }
    ResumeRelativeMouse();
    if (shown != 0 && !haveDisplay) {
        std::fprintf(stderr, "%s: %s\n(no message box could be shown: no display is available)\n",
                     utf8Caption.c_str(), utf8Text.c_str());
        answer = 0;
    } else if (shown != 0) {
        const char* label = "";
        answer = DefaultAnswer(type, &label);
        std::fprintf(stderr,
                     "%s: %s\n(no message box could be shown: %s; taking its default answer, "
                     "%s)\n",
                     utf8Caption.c_str(), utf8Text.c_str(), SDL_GetError(), label);
    } else if (answer < 0) {
        // Closed from its title bar: the answer a Windows box gives to Escape or close.
        UINT buttonsType = type & 0xF;
        answer = buttonsType == MB_YESNO ? IDNO : buttonsType == MB_OKCANCEL ? IDCANCEL : IDOK;
    }
    orvseam::RecordMessageBox(utf8Text, utf8Caption, type, answer);
    return answer;
}

}  // namespace

extern "C" int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return orvreplay::OnMessageBox(type,
                                   [&] { return ShowMessageBox(owner, text, caption, type); });
}

int MessageBox1250(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}
