// Prints the digest of every frame a recording holds, one line each, so that an
// end-to-end script can judge what the game did frame by frame and wait for "so many
// frames after this" instead of for so many seconds:
//
//   recorded_frames FILE
//   <frame> <total time> <energy> <world x> <world y> <focus> <atoms> <flowers> <fractals>
//   (frames counted from 1)
//   recorded_frames FILE --moved CX CY
//   <dx> <dy>: the whole movement the steering read, its cursor readings less the centre
//   recorded_frames FILE --events
//   what the loop did, in order, one line each: "frame <n>", "quiet <pumps>" (pumps of
//   the event queue in a row that brought nothing), "message <code> <wParam>" (decimal)
//   and "box <answer>" (a message box answered): so a script can tell that the game
//   woke for an input and what it did next, drawing a frame or not
//
// focus: 1 while the game's window has the keyboard focus as the recorded focus messages
// tell it (it starts with it), 0 once it lost it.
//
// The game may still be writing the file: a block cut off at the end is not an error, the
// frames before it are printed. Exits with 2 when the file cannot be read or is damaged.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/replay_file.h"

int main(int argc, char** argv) {
    const bool moved = argc == 5 && std::string(argv[2]) == "--moved";
    const bool events = argc == 3 && std::string(argv[2]) == "--events";
    if (argc != 2 && !moved && !events) {
        std::fprintf(stderr, "usage: recorded_frames FILE [--moved CX CY | --events]\n");
        return 2;
    }
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(argv[1], "rb");
    if (f == nullptr) return 2;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    // Not even a whole header yet: the game has only just opened the file.
    if (bytes.size() < orvreplay::kHeaderSize) return 0;
    orvreplay::ReplayFile file;
    std::string error;
    const orvreplay::ReadResult result = orvreplay::ReadReplay(bytes.data(), bytes.size(), &file, &error);
    if (result != orvreplay::ReadResult::Ok && result != orvreplay::ReadResult::Truncated) {
        std::fprintf(stderr, "recorded_frames: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    if (moved) {
        const long long cx = std::atoll(argv[3]), cy = std::atoll(argv[4]);
        long long dx = 0, dy = 0;
        for (const orvreplay::Item& item : file.items) {
            if (item.kind != orvreplay::ItemKind::Cursor) continue;
            dx += item.a - cx;
            dy += item.b - cy;
        }
        std::printf("%lld %lld\n", dx, dy);
        return 0;
    }
    if (events) {
        for (const orvreplay::Item& item : file.items) {
            switch (item.kind) {
                case orvreplay::ItemKind::Frame:
                    std::printf("frame %lld\n", (long long)item.a + 1);
                    break;
                case orvreplay::ItemKind::QuietPumps:
                    std::printf("quiet %lld\n", (long long)item.a);
                    break;
                case orvreplay::ItemKind::MessageBox:
                    std::printf("box %lld\n", (long long)item.a);
                    break;
                case orvreplay::ItemKind::Messages:
                    for (int64_t k = item.a; k < item.a + item.b && k < (int64_t)file.messages.size(); ++k)
                        std::printf("message %u %llu\n", file.messages[(size_t)k].message,
                                    (unsigned long long)file.messages[(size_t)k].wParam);
                    break;
                default:
                    break;
            }
        }
        return 0;
    }
    int focus = 1;
    for (const orvreplay::Item& item : file.items) {
        if (item.kind == orvreplay::ItemKind::Messages) {
            for (int64_t k = item.a; k < item.a + item.b && k < (int64_t)file.messages.size(); ++k) {
                if (file.messages[(size_t)k].message == 0x0007) focus = 1;  // WM_SETFOCUS
                if (file.messages[(size_t)k].message == 0x0008) focus = 0;  // WM_KILLFOCUS
            }
        } else if (item.kind == orvreplay::ItemKind::Frame && item.a >= 0 &&
                   item.a < (int64_t)file.digests.size()) {
            const orvreplay::FrameDigest& d = file.digests[(size_t)item.a];
            std::printf("%lld %.9g %.9g %.9g %.9g %d %d %d %d\n", (long long)item.a + 1,
                        (double)d.totalTime, (double)d.energy, (double)d.worldX, (double)d.worldY,
                        focus, d.collected[0], d.collected[1], d.collected[2]);
        }
    }
    return 0;
}
