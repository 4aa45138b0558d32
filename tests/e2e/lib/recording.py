#!/usr/bin/env python3
"""Reads what an end-to-end test needs from a game's recording (see platform/replay_file.h
for the layout): the digest of every frame and the cursor positions the steering read.
A file still being written may end in a block cut short; that block is left for later.

  recording.py FILE frames           a line per frame: total_time energy world_x world_y
  recording.py FILE cursor CX CY     the movement the steering saw: sum of (x - CX, y - CY)
"""
import struct
import sys
import zlib


def varint(b, i):
    value, shift = 0, 0
    while True:
        c = b[i]
        i += 1
        value |= (c & 0x7F) << shift
        shift += 7
        if not c & 0x80:
            return value, i


def signed(v):
    return (v >> 1) ^ -(v & 1)


def read(path):
    """(frames, cursor reads): frames as (total_time, energy, world_x, world_y)."""
    data = open(path, "rb").read()
    frames, cursor = [], []
    pos = 32
    while pos + 4 <= len(data):
        (length,) = struct.unpack_from("<I", data, pos)
        if pos + 8 + length > len(data):
            break
        payload = data[pos + 4:pos + 4 + length]
        if struct.unpack_from("<I", data, pos + 4 + length)[0] != zlib.crc32(payload):
            sys.exit(f"{path}: a damaged block at byte {pos}")
        pos += 8 + length
        i = 0
        while i < len(payload):
            tag = payload[i]
            i += 1
            if tag in (1, 2, 3, 5, 8):      # a clock, quiet pumps, a mode result
                _, i = varint(payload, i)
            elif tag == 4:                  # the cursor
                x, i = varint(payload, i)
                y, i = varint(payload, i)
                cursor.append((signed(x), signed(y)))
            elif tag == 7:                  # a message box
                _, i = varint(payload, i)
                _, i = varint(payload, i)
            elif tag == 6:                  # the messages of one pump
                count, i = varint(payload, i)
                for _ in range(count):
                    for _ in range(3):
                        _, i = varint(payload, i)
                    i += 1
            elif tag == 9:                  # a frame's end and its digest
                _, i = varint(payload, i)
                f = struct.unpack_from("<11f", payload, i)
                i += 44
                for _ in range(6):
                    _, i = varint(payload, i)
                frames.append((f[1], f[0], f[6], f[7]))
            else:
                sys.exit(f"{path}: unknown record {tag}")
    return frames, cursor


if __name__ == "__main__":
    frames, cursor = read(sys.argv[1])
    if sys.argv[2] == "frames":
        for f in frames:
            print("%.6f %.6f %.6f %.6f" % f)
    elif sys.argv[2] == "cursor":
        cx, cy = int(sys.argv[3]), int(sys.argv[4])
        print(sum(x - cx for x, _ in cursor), sum(y - cy for _, y in cursor))
