// The game's state after each frame, shown to the page (window.orvendale.frame) so that
// the page's tests can see what the game did without reading its pictures.
#include <emscripten.h>

#include "platform/standin/replay_internal.h"
#include "platform/web/web_internal.h"

namespace {

EM_JS(void, orvweb_publish_frame,
      (float energy, float totalTime, float worldX, float worldY, int collected0,
       int collected1, int collected2, int active, int kind), {
    const s = Module.orvStandIn;
    s.frames++;
    s.frame = {
        frame: s.frames, energy: energy, totalTime: totalTime, worldX: worldX, worldY: worldY,
        collected: [collected0, collected1, collected2], collectibleActive: active,
        collectibleKind: kind
    };
    if (s.onFrame) s.onFrame(s.frames);
});

void Publish(const orvreplay::FrameDigest& d) {
    orvweb_publish_frame(d.energy, d.totalTime, d.worldX, d.worldY, d.collected[0],
                         d.collected[1], d.collected[2], d.collectibleActive,
                         d.collectibleKind);
}

}  // namespace

namespace orvweb {

void WatchFrames() { orvreplay::SetFrameObserver(&Publish); }

}  // namespace orvweb
