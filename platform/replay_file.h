// The replay file: what the platform layer handed the game during one game, in the order
// the game asked for it, with a digest of the game's state after every frame.
//
// Layout (all numbers little-endian):
//   header  "ORVRPLAY", u32 format version, u32 window width, u32 window height,
//           u64 hash of the data files, u32 CRC-32 of the 28 bytes before it
//   flight  (version 3 on) u32 flags (bit 0: the recording starts at a flight's first
//           frame, in the middle of a session), u32 the random generator's state then,
//           u32 whether the window had the focus then, u32 the session's number of the
//           first frame (the frame records count on from it), i64 the counter's
//           frequency, i64 the counter's and i64 the millisecond clock's last readings
//           before the recording began (the first differences in the blocks are taken
//           from them), u32 CRC-32 of the 40 bytes before it. A recording of a whole
//           session holds zeros here.
//   blocks  u32 payload length, payload, u32 CRC-32 of the payload; repeated to the end
// A payload is a run of items, each a tag byte and its values (unsigned LEB128 varints;
// signed values zigzag-coded; the counter and the millisecond clock as differences from
// their previous reading; digest floats as their 32 raw bits). The recorder closes a
// block at every frame's end and before anything that may block, so a file cut off by a
// killed process still ends on a whole block. Only this module knows the byte layout:
// the reader decodes a whole file from memory so that it can be fuzzed, and the writer
// side only encodes into byte buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvreplay {

// Version 2: the steering reads the performance counter for its own clock, one reading
// more a frame than version 1 holds, so a version 1 file cannot be played.
// Version 3: the pads' state (XInputGetState) is recorded, in Pad items, and the header
// has a flight part, so that a recording may start at a flight's first frame and play
// alone. A version 2 file still plays: it is a whole session, and its game read no pad,
// so every slot answers "not connected".
const uint32_t kFormatVersion = 3;
// The oldest version this game plays.
const uint32_t kOldestPlayableVersion = 2;
// The first version with Pad items.
const uint32_t kFirstVersionWithPads = 3;
const size_t kHeaderSize = 32;        // what every version's header starts with
const size_t kFlightHeaderSize = 44;  // what follows it from version 3 on
// No block the recorder writes comes near this; a larger length is damage, not data.
const uint32_t kMaxBlockPayload = 1u << 20;

struct Header {
    uint32_t version = kFormatVersion;
    int32_t width = 0;
    int32_t height = 0;
    uint64_t dataHash = 0;
    // Version 3: a recording that starts at a flight's first frame. The game before it
    // is not in the file: the player starts afresh, the random generator is put at
    // `randomState`, the focus is `focused`, and the counter runs at `frequency`.
    bool flightStart = false;
    uint32_t randomState = 0;
    int32_t focused = 0;
    uint32_t firstFrame = 0;  // the session's number of the file's first frame
    int64_t frequency = 0;
    int64_t counterBase = 0;  // the counter's last reading before the first block
    int64_t msBase = 0;       // the millisecond clock's
};
// The bytes a header of this version takes.
size_t HeaderBytes(uint32_t version);

// The game's state after one frame, as the application hands it down.
struct FrameDigest {
    float energy = 0.0f;
    float totalTime = 0.0f;
    float meters[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float worldX = 0.0f, worldY = 0.0f;
    float collectibleX = 0.0f, collectibleY = 0.0f, collectibleZ = 0.0f;
    int32_t collected[3] = {0, 0, 0};
    int32_t collectibleActive = 0;
    int32_t collectibleKind = 0;
    int32_t ringHead = 0;
};

// The first field in which two digests differ (floats compared bit for bit), with both
// values written out; empty when they are the same.
struct DigestDifference {
    std::string field;
    std::string recorded;
    std::string replayed;
};
DigestDifference CompareDigests(const FrameDigest& recorded, const FrameDigest& replayed);

enum class ItemKind : uint8_t {
    Frequency = 1,     // QueryPerformanceFrequency: a
    Counter = 2,       // QueryPerformanceCounter: a
    Milliseconds = 3,  // MillisecondClock: a
    Cursor = 4,        // GetCursorPos: a = x, b = y
    QuietPumps = 5,    // a event-queue pumps in a row that brought no message
    Messages = 6,      // one pump that brought b messages, from messages[a]
    MessageBox = 7,    // MessageBoxA: a = answer, b = the box's type flags
    DisplayMode = 8,   // ChangeDisplaySettingsA: a = result
    Frame = 9,         // the end of a frame: digests[a]
    Pad = 10,          // XInputGetState: pads[a] (version 3 on)
};
const char* ItemName(ItemKind kind);

struct Item {
    ItemKind kind;
    int64_t a;
    int64_t b;
};

// A window message as the pump delivered it. window: 0 for none, 1 for the game's window.
struct RecordedMessage {
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
    uint8_t window;
};

// One XInputGetState as the game read it. Encoded as: the slot (varint, 0 to 3), the
// result (varint); for a connected pad (result 0) also the packet number and the buttons
// (varints), the two triggers (a byte each) and the four stick axes (zigzag varints, left
// x, left y, right x, right y, within -32768..32767).
struct RecordedPad {
    uint32_t user = 0;
    uint32_t result = 0;
    uint32_t packet = 0;
    uint16_t buttons = 0;
    uint8_t leftTrigger = 0, rightTrigger = 0;
    int16_t thumbs[4] = {0, 0, 0, 0};
};

struct ReplayFile {
    Header header;
    std::vector<Item> items;
    std::vector<RecordedMessage> messages;
    std::vector<FrameDigest> digests;
    std::vector<RecordedPad> pads;
};

enum class ReadResult { Ok, Truncated, Foreign, NewerVersion, OlderVersion, Corrupted };

// Decodes a whole file. On anything but Ok, `error` says what is wrong and where, and
// `file` holds what was decoded before it.
ReadResult ReadReplay(const uint8_t* data, size_t size, ReplayFile* file, std::string* error);

// --- encoding, for the recorder ---------------------------------------------------------

void EncodeHeader(const Header& header, std::vector<uint8_t>* out);
// Appends one item to a block's payload. Counter and Milliseconds take the previous
// reading of the same clock (0 before the first), which the reader tracks likewise.
void EncodeValue(ItemKind kind, int64_t value, int64_t previous, std::vector<uint8_t>* payload);
void EncodeCursor(int64_t x, int64_t y, std::vector<uint8_t>* payload);
void EncodeQuietPumps(uint64_t count, std::vector<uint8_t>* payload);
void EncodeMessages(const std::vector<RecordedMessage>& messages, std::vector<uint8_t>* payload);
void EncodeMessageBox(int64_t answer, int64_t type, std::vector<uint8_t>* payload);
void EncodePad(const RecordedPad& pad, std::vector<uint8_t>* payload);
void EncodeFrame(uint32_t frameIndex, const FrameDigest& digest, std::vector<uint8_t>* payload);
// Wraps a payload into a block (length, payload, CRC) appended to `out`.
void EncodeBlock(const std::vector<uint8_t>& payload, std::vector<uint8_t>* out);

uint32_t Crc32(const uint8_t* data, size_t size);

}  // namespace orvreplay
