#!/usr/bin/env python3
"""Writes the fuzz harnesses' seed corpora into fuzz/corpus/<harness>/.

The seeds are small valid inputs: the shipped data files where they are small, the tail
of the shipped font pictures (where their metrics block lives) where they are not, and
small files of every kind each reader takes, as the unit tests' fixtures build them.
Run from anywhere; it overwrites the seeds it makes and leaves other files alone.
With --check-3ds it writes nothing and fails when the committed 3DS seeds differ from
what it would write (the unit tests run it so).

The 3DS chunk ids come from the reader's own list, assets/chunk_ids_3ds.h, and every id
in the fuzzer's 3DS dictionary must be one of them.
"""
import os
import re
import shutil
import struct
import sys
import types
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")

# Set by --check-3ds: compare with the committed seeds instead of writing, and collect
# the ones that differ.
CHECKING = False
STALE = []


def put(harness, name, data):
    folder = os.path.join(CORPUS, harness)
    if CHECKING:
        want = data if isinstance(data, bytes) else data.encode()
        try:
            with open(os.path.join(folder, name), "rb") as f:
                have = f.read()
        except OSError:
            have = None
        if have != want:
            STALE.append(os.path.join("fuzz", "corpus", harness, name))
        return
    os.makedirs(folder, exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(os.path.join(folder, name), mode) as f:
        f.write(data)


def copy(harness, name, source):
    if CHECKING:
        with open(source, "rb") as f:
            put(harness, name, f.read())
        return
    folder = os.path.join(CORPUS, harness)
    os.makedirs(folder, exist_ok=True)
    shutil.copyfile(source, os.path.join(folder, name))


# --- configuration texts --------------------------------------------------------------

TWO_GLYPHS = """n_max_char = 1; n_space_style = 0; f_default_width = 1.0; f_side_ratio = 1.0;
char[0].n_sign = 'L'; char[0].n_data = {0, 0, 0, 2, 0, 2, 1, 2};
default_char.n_data = {0, 0, 1, 0};
"""

REFERENCES = """/* references, lists and every value kind */
n_max_char = two; two = 2; n_space_style = 0x1;
f_default_width = Pi; f_side_ratio = _e;
char[0].n_sign = 65; char[0].n_data = {0, 0, half, 2.5, .5, 1.2.3};
char[1].n_sign = '\\n'; char[1].n_data = char[0].n_data;
half = 0.5;
default_char.n_data = {1, 0, 0, 1}; // the default glyph
w = 1; w = 2; s = "ab" "c\\td\\0e"; c = '\\''; x;
"""

SETTINGS_ERRORS = """n_Width = 800; n_Height = 600
a = b = 5; l = {1, "x"}; -5; 'ab' "unterminated
/* open comment
"""


def small_font():
    """The shipped font.txt cut to its first four glyphs and the default one: the whole
    file is large enough to slow the fuzzer down (fuzz.sh replays it as it is)."""
    with open(os.path.join(DATA, "font.txt")) as f:
        text = f.read()
    default = text[text.index("default_char.n_data"):]
    head = text[text.index("n_max_char"):text.index("char[4].n_sign")]
    return head.replace("n_max_char = 95;", "n_max_char = 4;", 1) + default


def config_seeds():
    copy("config", "settings.ini", os.path.join(DATA, "Settings.ini"))
    put("config", "font_small.txt", small_font())
    put("config", "two_glyphs.txt", TWO_GLYPHS)
    put("config", "references.txt", REFERENCES)
    put("config", "errors.txt", SETTINGS_ERRORS)
    put("config", "cycle.txt", "a = b; b = a; l = {a, 1}; m = l; h = 0x1F; d = 017;\n")

    put("stroke_font", "font_small.txt", small_font())
    put("stroke_font", "two_glyphs.txt", TWO_GLYPHS)
    put("stroke_font", "references.txt", REFERENCES)
    put("stroke_font", "only_default.txt",
        "n_max_char = 0; n_space_style = 1; f_default_width = 2; f_side_ratio = 0.5;\n"
        "default_char.n_data = {0, 0, 1, 1, 2};\n")


# --- TGA pictures -----------------------------------------------------------------------

def tga_header(image_type, width, height, depth, descriptor=0, map_length=0, map_bits=0,
               id_length=0):
    return struct.pack("<BBBHHBHHHHBB", id_length, 1 if map_length else 0, image_type, 0,
                       map_length, map_bits, 0, 0, width, height, depth, descriptor)


def rle(values, value_bytes):
    """Run-length packets of the pixel values (each value_bytes long)."""
    out = bytearray()
    i = 0
    n = len(values)
    while i < n:
        run = 1
        while i + run < n and run < 128 and values[i + run] == values[i]:
            run += 1
        if run > 1:
            out.append(128 + run - 1)
            out += values[i]
            i += run
            continue
        start = i
        i += 1
        while i < n and i - start < 128 and not (i + 1 < n and values[i + 1] == values[i]):
            i += 1
        out.append(i - start - 1)
        for v in values[start:i]:
            out += v
    return bytes(out)


def read_tga32(path):
    with open(path, "rb") as f:
        d = f.read()
    width, height = struct.unpack("<HH", d[12:16])
    assert d[2] == 2 and d[16] == 32, path
    top_first = d[17] & 0x20
    pixels = d[18 + d[0]:]
    rows = [pixels[r * width * 4:(r + 1) * width * 4] for r in range(height)]
    if not top_first:
        rows.reverse()
    return width, height, rows  # top row first, file byte order (b, g, r, a)


def tga_seeds():
    # Tails of the shipped font pictures: the metrics block is in their last row.
    w, h, rows = read_tga32(os.path.join(DATA, "font_tech.tga"))
    tail = rows[-2:]
    put("tga", "font_tech_tail.tga", tga_header(2, w, 2, 32, 0x28) + b"".join(tail))
    values = [bytes(r[i:i + 4]) for r in rows[-8:] for i in range(0, len(r), 4)]
    put("tga", "font_tech_tail_rle.tga", tga_header(10, w, 8, 32, 0x28) + rle(values, 4))
    w, h, rows = read_tga32(os.path.join(DATA, "font_vimra.tga"))
    # Bottom row first, as most writers store it.
    put("tga", "font_vimra_tail.tga", tga_header(2, w, 2, 32, 0x08) + rows[-1] + rows[-2])

    grey = bytes(range(0, 256, 16))
    put("tga", "grey_4x4.tga", tga_header(3, 4, 4, 8) + grey)
    put("tga", "grey_4x4_rle.tga",
        tga_header(11, 4, 4, 8, 0x20) + rle([bytes([g // 64 * 64]) for g in grey], 1))
    put("tga", "true24_3x3.tga", tga_header(2, 3, 3, 24) + bytes(range(27)))
    put("tga", "true24_3x3_rle.tga",
        tga_header(10, 3, 3, 24) + rle([bytes([i % 2 * 200, 10, 20]) for i in range(9)], 3))
    put("tga", "true16_2x2.tga", tga_header(2, 2, 2, 16) + struct.pack("<4H", 0x7FFF, 0x8000,
                                                                       0x1234, 0x03E0))
    put("tga", "true16_2x2_rle.tga",
        tga_header(10, 2, 2, 16) + bytes([0x81]) + struct.pack("<H", 0x7C00) +
        bytes([0x01]) + struct.pack("<2H", 0x001F, 0x03E0))
    put("tga", "true32_2x2_top.tga", tga_header(2, 2, 2, 32, 0x28) + bytes(range(1, 17)))
    indices = bytes([0, 1, 2, 3, 3, 2, 1, 0])
    put("tga", "mapped24_4x2.tga",
        tga_header(1, 4, 2, 8, map_length=4, map_bits=24, id_length=3) + b"id!" +
        bytes(range(12)) + indices)
    put("tga", "mapped16_4x2_rle.tga",
        tga_header(9, 4, 2, 8, map_length=2, map_bits=16) + struct.pack("<2H", 0x7FFF, 0x001F) +
        bytes([0x83, 1, 0x03, 0, 1, 0, 1]))
    put("tga", "mapped32_2x1.tga",
        tga_header(1, 2, 1, 8, map_length=2, map_bits=32) + bytes(range(8)) + bytes([1, 0]))


# --- bitmap-font metrics --------------------------------------------------------------------

def metrics_input(width, rows_rgba):
    return struct.pack("<H", width - 1) + b"".join(rows_rgba)


def to_rgba(row):
    out = bytearray(row)
    for i in range(0, len(out), 4):
        out[i], out[i + 2] = out[i + 2], out[i]
    return bytes(out)


def word_pixel(word):
    return bytes([word & 255, (word >> 8) & 255, (word >> 16) & 255, 0])


def metrics_seeds():
    for name in ("font_tech", "font_vimra"):
        w, h, rows = read_tga32(os.path.join(DATA, name + ".tga"))
        put("bitmap_metrics", name + "_tail.bin", metrics_input(w, [to_rgba(r) for r in rows[-2:]]))

    # Two glyphs in a 16 x 4 picture, as the font tests build them.
    def block(glyphs):
        words = [len(glyphs)]
        for code, gw, gh, xo, yo, adv, tx, ty in glyphs:
            words += [(code << 16) | (gw << 8) | gh, ((xo & 255) << 16) | ((yo & 255) << 8) | adv,
                      (tx << 12) | ty]
        return words + [3 * len(glyphs) + 1]

    def picture(width, height, words, gap):
        pixels = [bytes([50, 50, 50, 255])] * (width * height)
        index = width * height - 1
        for word in reversed(words):
            pixels[index] = word_pixel(word)
            index -= 1 + gap
        return metrics_input(width, [b"".join(pixels)])

    glyphs = [(65, 3, 5, 0, -2, 4, 0, 0), (66, 4, 5, 1, 0, 5, 4, 0)]
    put("bitmap_metrics", "two_glyphs.bin", picture(16, 4, block(glyphs), 0))
    put("bitmap_metrics", "two_glyphs_gaps.bin", picture(16, 4, block(glyphs), 1))
    put("bitmap_metrics", "same_code.bin",
        picture(8, 4, block([(200, 1, 1, 0, 0, 1, 7, 3), (200, 9, 9, -1, -1, 2, 4095, 4095)]), 0))


# --- 3DS files ------------------------------------------------------------------------------

def read_chunk_ids():
    """The chunk ids of assets/chunk_ids_3ds.h: C.RotationTrack for kChunkRotationTrack."""
    with open(os.path.join(ROOT, "assets", "chunk_ids_3ds.h")) as f:
        text = f.read()
    found = re.findall(r"^constexpr uint16_t kChunk(\w+) = 0x([0-9A-Fa-f]{4});", text, re.M)
    ids = {name: int(value, 16) for name, value in found}
    assert len(ids) == len(found) == len(re.findall(r"^constexpr", text, re.M)), \
        "one id per line, each name once"
    assert len(set(ids.values())) == len(ids), "two names for one id"
    return types.SimpleNamespace(**ids)


C = read_chunk_ids()


def check_dictionary():
    """Every two-byte entry of the 3DS dictionary is a chunk id the reader names."""
    known = set(vars(C).values())
    with open(os.path.join(ROOT, "fuzz", "model3ds.dict")) as f:
        for line in f:
            line = line.strip()
            if not line.startswith('"'):
                continue
            raw = bytes(int(h, 16) for h in re.findall(r"\\x([0-9a-fA-F]{2})", line))
            if len(raw) == 2:
                cid = raw[0] | raw[1] << 8
                assert cid in known, "model3ds.dict: 0x%04X is no known chunk id" % cid


class Chunks:
    def __init__(self):
        self.out = bytearray()
        self.open = []

    def begin(self, cid):
        self.open.append(len(self.out))
        self.out += struct.pack("<HI", cid, 0)

    def end(self):
        start = self.open.pop()
        struct.pack_into("<I", self.out, start + 2, len(self.out) - start)

    def leaf(self, cid, body):
        self.out += struct.pack("<HI", cid, 6 + len(body)) + body


def name(s):
    return s.encode() + b"\0"


def floats(*v):
    return struct.pack("<%df" % len(v), *v)


def key(frame, flags, *values):
    extra = b"".join(floats(0.25) for bit in range(3) if flags & (1 << bit))
    return struct.pack("<HHH", frame, 0, flags) + extra + floats(*values)


def track(keys):
    return struct.pack("<HIIH", 0, 0, 0, len(keys)) + struct.pack("<H", 0) + b"".join(keys)


def scene_3ds():
    """A mesh with a material, a spotlight, a camera and keyframer nodes for each."""
    c = Chunks()
    c.begin(C.Main)
    c.leaf(C.FileVersion, struct.pack("<I", 3))
    c.begin(C.Scene)
    c.leaf(C.MeshVersion, struct.pack("<I", 3))
    c.begin(C.Material)
    c.leaf(C.MaterialName, name("red"))
    c.begin(C.MaterialDiffuse)
    c.leaf(C.Colour24, bytes([255, 0, 0]))
    c.end()
    c.end()
    c.begin(C.NamedObject)
    c.out += name("box")
    c.begin(C.TriangleMesh)
    c.leaf(C.VertexList, struct.pack("<H", 4) + floats(0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1))
    c.leaf(C.MappingCoordinates, struct.pack("<H", 4) + floats(0, 0, 1, 0, 0, 1, 1, 1))
    c.leaf(C.MeshMatrix, floats(1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 6, 7))
    c.begin(C.FaceList)
    c.out += struct.pack("<H", 2) + struct.pack("<4H", 0, 1, 2, 7) + struct.pack("<4H", 0, 2, 3, 0)
    c.leaf(C.FaceMaterial, name("red") + struct.pack("<3H", 2, 0, 1))
    c.leaf(C.SmoothingGroups, struct.pack("<2I", 1, 1))
    c.end()
    c.end()
    c.end()
    c.begin(C.NamedObject)
    c.out += name("lamp")
    c.begin(C.Light)
    c.out += floats(1, 2, 3)
    c.leaf(C.ColourFloat, floats(1.0, 0.5, 0.25))
    c.leaf(C.Spotlight, floats(0, 0, 0, 20, 30))
    c.leaf(C.LightOff, b"")
    c.leaf(C.LightRayShadows, b"")
    c.leaf(C.LightInnerRange, floats(1))
    c.leaf(C.LightOuterRange, floats(2))
    c.leaf(C.LightMultiplier, floats(3))
    c.end()
    c.end()
    c.begin(C.NamedObject)
    c.out += name("cam")
    c.leaf(C.Camera, floats(0, -10, 5, 0, 0, 0, 0, 35))
    c.end()
    c.end()
    c.begin(C.Keyframer)
    c.leaf(C.KeyframeSegment, struct.pack("<2I", 0, 100))
    c.begin(C.ObjectNode)
    c.leaf(C.NodeId, struct.pack("<H", 1))
    c.leaf(C.NodeHeader, name("box") + struct.pack("<IH", 0, 0xFFFF))
    c.leaf(C.Pivot, floats(0, 0, 0))
    c.leaf(C.PositionTrack, track([key(0, 0, 1, 2, 3), key(50, 7, 4, 5, 6)]))
    c.leaf(C.RotationTrack, track([key(0, 8, 0.5, 0, 0, 1)]))
    c.leaf(C.ScaleTrack, track([key(0, 0, 1, 1, 1)]))
    c.end()
    c.begin(C.CameraNode)
    c.leaf(C.NodeId, struct.pack("<H", 2))
    c.leaf(C.NodeHeader, name("cam") + struct.pack("<IH", 0, 0xFFFF))
    c.leaf(C.PositionTrack, track([key(0, 0, 0, -10, 5)]))
    c.leaf(C.FieldOfViewTrack, track([key(0, 0, 35)]))
    c.leaf(C.RollTrack, track([key(0, 0, 0)]))
    c.end()
    c.begin(C.CameraTargetNode)
    c.leaf(C.NodeId, struct.pack("<H", 3))
    c.leaf(C.NodeHeader, name("cam") + struct.pack("<IH", 0, 2))
    c.leaf(C.PositionTrack, track([key(0, 0, 0, 0, 0)]))
    c.end()
    c.end()
    c.end()
    return bytes(c.out)


def model_seeds():
    check_dictionary()
    copy("model3ds", "crfighter.3ds", os.path.join(DATA, "crfighter.3ds"))
    fixtures = os.path.join(ROOT, "tests", "assets", "fixtures", "3ds")
    copy("model3ds", "tetra.3ds", os.path.join(fixtures, "tetra.3ds"))
    copy("model3ds", "two_parts.3ds", os.path.join(fixtures, "two_parts.3ds"))
    put("model3ds", "scene.3ds", scene_3ds())


# --- replays ----------------------------------------------------------------------------

def replay_blocks(path):
    """The header and the blocks of a kept replay, as bytes."""
    with open(path, "rb") as f:
        data = f.read()
    header, pos, blocks = data[:32], 32, []
    while pos < len(data):
        (length,) = struct.unpack_from("<I", data, pos)
        blocks.append(data[pos:pos + 8 + length])
        pos += 8 + length
    return header, blocks


def varint(v):
    out = bytearray()
    while v >= 0x80:
        out.append((v & 0x7F) | 0x80)
        v >>= 7
    out.append(v)
    return bytes(out)


def zigzag(v):
    return (v << 1) ^ (v >> 63) if v >= 0 else ((-v) << 1) - 1


def block(payload):
    return struct.pack("<I", len(payload)) + payload + struct.pack("<I", zlib.crc32(payload))


def replay_header(width, height, data_hash, version=2):
    head = b"ORVRPLAY" + struct.pack("<IIIQ", version, width, height, data_hash)
    return head + struct.pack("<I", zlib.crc32(head))


def every_record():
    """One block with a record of every kind (tags as in platform/replay_file.h)."""
    digest = struct.pack("<11f", 1.8, 0.0, 0, 0, 0, 0, -3.5, 2.0, 166.5, 0, 1970.0)
    digest += b"".join(varint(zigzag(v)) for v in (1, 0, 2, 1, 2, 74))
    p = bytes([1]) + varint(zigzag(1000000000))          # frequency
    p += bytes([8]) + varint(zigzag(-2))                  # display mode refused
    p += bytes([7]) + varint(zigzag(6)) + varint(zigzag(0x34))  # box answered yes
    p += bytes([2]) + varint(zigzag(1 << 40))             # counter
    p += bytes([3]) + varint(zigzag(5000))                # milliseconds
    p += bytes([3]) + varint(zigzag(-1))
    p += bytes([4]) + varint(zigzag(320)) + varint(zigzag(-240))  # cursor
    p += bytes([5]) + varint(3)                           # three quiet pumps
    p += bytes([6]) + varint(2)                           # two messages
    p += varint(0x0100) + varint(27) + varint(zigzag(-1)) + bytes([1])
    p += varint(0x0008) + varint(0) + varint(0) + bytes([0])
    p += bytes([9]) + varint(0) + digest                   # the frame's end
    return replay_header(640, 480, 0x0123456789ABCDEF) + block(p)


def replay_seeds():
    kept = os.path.join(ROOT, "tests", "replays")
    header, blocks = replay_blocks(os.path.join(kept, "focus_lost.orvr"))
    # The start of a real game: the start-up's reads, the messages of the window's first
    # pumps and the first frames.
    put("replay", "focus_lost_start.orvr", header + b"".join(blocks[:6]))
    put("replay", "every_record.orvr", every_record())
    put("replay", "header_only.orvr", replay_header(1024, 768, 0))


if __name__ == "__main__":
    if sys.argv[1:] == ["--check-3ds"]:
        CHECKING = True
        model_seeds()
        if STALE:
            sys.exit("not what fuzz/make_seeds.py writes now (run it): " + ", ".join(STALE))
        sys.exit(0)
    config_seeds()
    tga_seeds()
    metrics_seeds()
    model_seeds()
    replay_seeds()
