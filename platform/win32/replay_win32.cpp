// Record and replay on the real Win32 API: not available. The recording layer sits inside
// our SDL stand-in, under the calls the game makes; on Windows those calls go straight to
// the system, so there is nothing of ours underneath to record from. The options say so.
#include "platform/replay.h"

namespace orvreplay {

bool Available() { return false; }

bool StartRecording(const char*, const Header&, std::string* message) {
    *message = "recording is not available in the Windows build";
    return false;
}

bool StartFlightRecording(const char*, const Header&, std::string* message) {
    *message = "recording is not available in the Windows build";
    return false;
}

bool FinishFlightRecording(std::string* message) {
    *message = "recording is not available in the Windows build";
    return false;
}

void BeginFlightReplay() {}

bool StartReplay(const char*, bool, Header*, std::string* message) {
    *message = "replays are not available in the Windows build";
    return false;
}

void EndFrame(const FrameDigest&) {}

bool Finish(Outcome*) { return false; }

}  // namespace orvreplay
