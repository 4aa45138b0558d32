#include "landscape/contour_landscape.h"

#include <windows.h>

#include <GL/gl.h>

#include <cstdint>
#include <new>

#include "core/game_random.h"
#include "landscape/scalar_field.h"

namespace {

const float kStampScale = 1.6666666f;   // landscape time -> stamp time
const float kAdvanceStep = 0.015f;      // stamp time between two advances, at least
const float kSliceSpacing = 75.0f;      // depth between neighbouring slots
const float kAgeDepth = 25.0f;          // extra depth per unit of stamp age
const int kRingDepth = 5625;            // 75 * 75: the newest slot would stand here
const float kFogDensity = 0.00035f;

// Stars: random streaks outside a clear disc around the slice centre.
const int kStarAttempts = 20;
const int kStarClearRadiusSquared = 1000000;
const float kStarLength = 50.0f;

const int kRowPoints = kGridCells + 1;
const uint64_t kCellBits = (uint64_t(1) << kGridCells) - 1;
static_assert(kRowPoints <= 64, "a grid row's level bits fit one word");

// Samples the field along one grid row (x from the first column's left edge, 50 apart)
// and returns bit c set for each point c strictly above the level.
uint64_t SampleRow(const GrowArray<Vec3>& sources, float y, float* values) {
    const int firstX = (kGridFirstColumn - 1) * 50;
    uint64_t bits = 0;
    Vec3 p;
    p.Set(0.0f, y, 0.0f);
    for (int c = 0; c < kRowPoints; ++c) {
        p.x = (float)(firstX + c * 50);
        values[c] = FieldValue(sources, p);
        if (values[c] > kIsoLevel) bits |= uint64_t(1) << c;
    }
    return bits;
}

inline int LowestBit(uint64_t bits) {
#if defined(__GNUC__)
    return __builtin_ctzll(bits);
#else
    int c = 0;
    while ((bits & 1) == 0) {
        bits >>= 1;
        ++c;
    }
    return c;
#endif
}

}  // namespace

ContourLandscape::ContourLandscape() : current(nullptr), ready(0), head(0) {
    for (int i = 0; i < kRingSlots; ++i) {
        slots[i] = nullptr;
        stamps[i] = 0.0f;
    }
    for (int i = 0; i < kRingSlots; ++i) {
        slots[i] = new (std::nothrow) ContourSlice();
        if (slots[i] == nullptr) return;  // ready stays 0: nothing will be drawn
    }
    head = 0;
    ready = 1;
}

ContourLandscape::~ContourLandscape() {
    for (int i = 0; i < kRingSlots; ++i) delete slots[i];
}

void ContourLandscape::Restart() {
    if (sources.count > 0) sources.RemoveRange(0, -1);
    current = nullptr;
    for (int i = 0; i < kRingSlots; ++i) {
        if (slots[i] != nullptr) slots[i]->Clear();
        stamps[i] = 0.0f;
    }
    head = 0;
}

int ContourLandscape::PlaceSources(float x) {
    // RemoveRange rather than Clear: the storage stays, so placing never allocates again.
    if (sources.count > 0) sources.RemoveRange(0, -1);
    for (int k = 0; k < 4; ++k)
        if (!sources.Push(SourcePosition(k, x))) break;
    return sources.count == 4 ? 1 : 0;
}

int ContourLandscape::PlaceOldestSources(float t) {
    if (sources.count > 0) sources.RemoveRange(0, -1);
    for (int k = 0; k < 4; ++k)
        if (!sources.Push(OldestSource(k, t))) break;
    return sources.count == 4 ? 1 : 0;
}

void ContourLandscape::AdvanceAndDraw(float x) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_EXP2);
    const GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, kFogDensity);
    glHint(GL_FOG_HINT, GL_NICEST);

    if (!ready) return;

    // Without its four sources the field cannot be traced: the ring then waits and
    // tries again next frame instead of advancing to an empty or half-made slice.
    const int placed = PlaceSources(x);

    const float b = x * kStampScale;
    if (placed && b - stamps[head] > kAdvanceStep) {
        head = (head + 1) % kRingSlots;
        stamps[head] = b;
        current = slots[head];
        current->Clear();
        GenerateSlice();
    }

    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);

    // Oldest first and nearest; the newest slot (n = 75) waits for the next advance.
    for (int n = 1; kRingSlots * n < kRingDepth; ++n) {
        const int s = (head + n) % kRingSlots;
        current = slots[s];
        const float depth = (float)(kRingSlots * n) - (b - stamps[s]) * kAgeDepth;
        const SliceSegment* seg = current->items;
        const int count = current->count;
        glBegin(GL_LINES);
        for (int i = 0; i < count; ++i) {
            glColor3f(seg[i].startColour.x, seg[i].startColour.y, seg[i].startColour.z);
            glVertex3f(seg[i].start.x, seg[i].start.y, seg[i].start.z + depth);
            glColor3f(seg[i].endColour.x, seg[i].endColour.y, seg[i].endColour.z);
            glVertex3f(seg[i].end.x, seg[i].end.y, seg[i].end.z + depth);
        }
        glEnd();
    }

    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
}

float ContourLandscape::RingSpan() {
    if (current == nullptr || current->count == 0) return 0.0f;
    return stamps[head] - stamps[(head + 1) % kRingSlots] + kSliceSpacing;
}

Vec3 ContourLandscape::OldestSource(int k, float t) {
    const int o = (head + 1) % kRingSlots;
    // 0.6 undoes the stamp scale: this is where source k stood when the slot was made.
    Vec3 p = SourcePosition(k, stamps[o] * 0.6f);
    p.z = 300.0f - (t * 0.6f - stamps[o] * 0.6f) * kAgeDepth;
    return p;
}

int ContourLandscape::StrongestSource(float ox, float oy, float t) {
    if (!PlaceOldestSources(t)) return 0;
    int best = 0;
    float bestValue = 0.0f;
    for (int k = 0; k < 4; ++k) {
        Vec3 q = OldestSource(k, t);
        q.x -= ox;
        q.y -= oy;
        const float value = FieldValue(sources, q);
        if (k == 0 || value > bestValue) {
            best = k;
            bestValue = value;
        }
    }
    return best;
}

float ContourLandscape::FieldProbe(float ox, float oy, float t) {
    if (!PlaceOldestSources(t)) return 0.0f;
    Vec3 q = OldestSource(0, t);
    q.x -= ox;
    q.y -= oy;
    return 10000.0f * (SourceValue(sources, q, 3) + SourceValue(sources, q, 2) +
                       SourceValue(sources, q, 1) + SourceValue(sources, q, 0));
}

void ContourLandscape::GenerateSlice() {
    if (current == nullptr || sources.count < 4) return;
    ContourSlice& slice = *current;

    // Corner values of two grid rows at a time: each of the 51 x 51 grid points is
    // sampled once instead of once per cell touching it. FieldValue is a pure function
    // of the point, so the values are the same as sampling every corner afresh. Next to
    // the values, one bit per point says whether it is above the level; a cell whose
    // four bits agree crosses nothing and is skipped without looking at it.
    float below[kRowPoints];
    float above[kRowPoints];
    float* rowBelow = below;
    float* rowAbove = above;
    uint64_t belowBits = SampleRow(sources, (float)(kGridFirstRow * 50), rowBelow);

    Vec3 ends[4];
    for (int j = kGridFirstRow; j < kGridFirstRow + kGridCells; ++j) {
        const float y0 = (float)(j * 50);
        const float y1 = (float)((j + 1) * 50);
        const uint64_t aboveBits = SampleRow(sources, y1, rowAbove);

        // Bit c: cell c has corners on both sides of the level.
        uint64_t mixed = ((belowBits ^ (belowBits >> 1)) | (belowBits ^ aboveBits) |
                          (aboveBits ^ (aboveBits >> 1))) &
                         kCellBits;
        while (mixed != 0) {
            const int c = LowestBit(mixed);
            mixed &= mixed - 1;  // ascending columns, as the plain scan would visit them
            const int i = kGridFirstColumn + c;
            const float x0 = (float)((i - 1) * 50);
            const float x1 = (float)(i * 50);
            const int n = MarchCell(x0, y0, x1, y1, rowBelow[c], rowBelow[c + 1],
                                    rowAbove[c + 1], rowAbove[c], ends);
            for (int e = 0; e < n; ++e) {
                SliceSegment seg;
                seg.start = ends[2 * e];
                seg.end = ends[2 * e + 1];
                seg.startColour = ContourColour(sources, seg.start);
                seg.endColour = ContourColour(sources, seg.end);
                slice.Push(seg);  // out of memory: this segment is dropped, the rest go on
            }
        }

        float* swap = rowBelow;
        rowBelow = rowAbove;
        rowAbove = swap;
        belowBits = aboveBits;
    }

    for (int a = 0; a < kStarAttempts; ++a) {
        const int y = 4096 - (GameRand() & 8191);
        const int x = 4096 - (GameRand() & 8191);
        if (x * x + y * y < kStarClearRadiusSquared) continue;
        SliceSegment star;
        star.start.Set((float)x, (float)y, 0.0f);
        star.end.Set((float)x, (float)y, -kStarLength);
        star.startColour.Set(0.0f, 0.0f, 0.0f);
        star.endColour.Set(0.8f, 0.8f, 1.0f);
        slice.Push(star);
    }
}
