// MessageBoxA as a dialog over the canvas. Texts are read in code page 1250 and shown in
// UTF-8; the first button is the default (Enter answers it); Escape answers as closing a
// Windows box does. The game waits for the answer while the browser goes on.
#include <emscripten.h>

#include "platform/message_box_1250.h"
#include "platform/standin/replay_internal.h"
#include "platform/web/web_internal.h"

namespace {

EM_ASYNC_JS(int, orvweb_message_box, (const char* text, const char* caption, int type), {
    return await Module.orvStandIn.messageBox(UTF8ToString(text), UTF8ToString(caption), type);
});

int ShowMessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    const std::string utf8Text = orvstandin::Cp1250ToUtf8(text);
    const std::string utf8Caption = orvstandin::Cp1250ToUtf8(caption ? caption : "Error");
    const int answer = orvweb_message_box(utf8Text.c_str(), utf8Caption.c_str(), (int)type);
    // The box took the pointer back; a hidden cursor wants it captured again.
    orvweb::TellPageCursorHidden();
    return answer;
}

}  // namespace

extern "C" int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    return orvreplay::OnMessageBox(type, [&] { return ShowMessageBox(text, caption, type); });
}

int MessageBox1250(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
}
