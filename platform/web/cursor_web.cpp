// The cursor. ShowCursor keeps Windows' display counter (shown while it is 0 or more).
// While it is hidden the page captures the pointer (Pointer Lock): the motion it reports
// moves our cursor, which stays on the "screen" (the canvas) as a Windows cursor stays on
// its screen, so a re-centring game reads what it would read on Windows. While the
// cursor is shown, it is where the pointer is over the canvas.
#include <emscripten.h>

#include <algorithm>

#include "platform/standin/replay_internal.h"
#include "platform/web/web_internal.h"

namespace orvweb {
namespace {

int g_showCount = 0;
long g_x = 0, g_y = 0;

void ClampToScreen(long* x, long* y) {
    WebWindow* w = LatestWindow();
    if (w == nullptr) return;
    *x = std::min(std::max(*x, 0L), (long)w->width - 1);
    *y = std::min(std::max(*y, 0L), (long)w->height - 1);
}

EM_JS(void, orvweb_want_pointer, (int hidden), { Module.orvStandIn.wantPointer(!!hidden); });

}  // namespace

void AddMouseMotion(int dx, int dy) {
    g_x += dx;
    g_y += dy;
    ClampToScreen(&g_x, &g_y);
}

void PlaceMouse(int x, int y) {
    // A free pointer only counts while the cursor is shown: a hidden cursor moves by the
    // captured motion alone.
    if (g_showCount < 0) return;
    g_x = x;
    g_y = y;
    ClampToScreen(&g_x, &g_y);
}

void TellPageCursorHidden() { orvweb_want_pointer(g_showCount < 0 ? 1 : 0); }

}  // namespace orvweb

using namespace orvweb;

extern "C" {

int ShowCursor(BOOL show) {
    g_showCount += show ? 1 : -1;
    TellPageCursorHidden();
    return g_showCount;
}

BOOL GetCursorPos(LPPOINT point) {
    if (point == nullptr) return FALSE;
    orvstandin::PumpEvents();
    point->x = (LONG)g_x;
    point->y = (LONG)g_y;
    orvreplay::OnCursor(&point->x, &point->y);
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    orvstandin::PumpEvents();
    long cx = x, cy = y;
    ClampToScreen(&cx, &cy);
    g_x = cx;
    g_y = cy;
    return TRUE;
}

}  // extern "C"
