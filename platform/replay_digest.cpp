// Comparing frame digests field by field, and the names of the records, for the lines a
// replay prints when it differs from its recording.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/replay_bytes.h"
#include "platform/replay_file.h"

namespace orvreplay {
namespace {

std::string FloatText(float f) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.9g", (double)f);
    return text;
}

}  // namespace

const char* ItemName(ItemKind kind) {
    switch (kind) {
        case ItemKind::Frequency: return "the counter frequency";
        case ItemKind::Counter: return "the performance counter";
        case ItemKind::Milliseconds: return "the millisecond clock";
        case ItemKind::Cursor: return "the cursor position";
        case ItemKind::QuietPumps:
        case ItemKind::Messages: return "the window messages";
        case ItemKind::MessageBox: return "a message-box answer";
        case ItemKind::DisplayMode: return "a display-mode change";
        case ItemKind::Frame: return "the frame's end";
        case ItemKind::Pad: return "a pad's state";
    }
    return "an unknown item";
}

DigestDifference CompareDigests(const FrameDigest& a, const FrameDigest& b) {
    struct FloatField {
        const char* name;
        float FrameDigest::*member;
    };
    static const FloatField floats[] = {
        {"energy", &FrameDigest::energy},
        {"total time", &FrameDigest::totalTime},
        {"world offset x", &FrameDigest::worldX},
        {"world offset y", &FrameDigest::worldY},
        {"collectible x", &FrameDigest::collectibleX},
        {"collectible y", &FrameDigest::collectibleY},
        {"collectible z", &FrameDigest::collectibleZ},
    };
    for (const FloatField& f : floats)
        if (bytes::FloatBits(a.*f.member) != bytes::FloatBits(b.*f.member))
            return {f.name, FloatText(a.*f.member), FloatText(b.*f.member)};
    for (int i = 0; i < 4; ++i)
        if (bytes::FloatBits(a.meters[i]) != bytes::FloatBits(b.meters[i]))
            return {"zone meter " + std::to_string(i), FloatText(a.meters[i]),
                    FloatText(b.meters[i])};
    static const char* const kCounts[3] = {"atoms collected", "flowers collected",
                                           "fractals collected"};
    for (int i = 0; i < 3; ++i)
        if (a.collected[i] != b.collected[i])
            return {kCounts[i], std::to_string(a.collected[i]), std::to_string(b.collected[i])};
    struct IntField {
        const char* name;
        int32_t FrameDigest::*member;
    };
    static const IntField ints[] = {
        {"collectible active", &FrameDigest::collectibleActive},
        {"collectible kind", &FrameDigest::collectibleKind},
        {"ring head", &FrameDigest::ringHead},
    };
    for (const IntField& f : ints)
        if (a.*f.member != b.*f.member)
            return {f.name, std::to_string(a.*f.member), std::to_string(b.*f.member)};
    return {};
}

}  // namespace orvreplay
