// The frame's projections at a window size that is not 4:3: the world keeps a field of
// view of 80 degrees and an aspect of 1.33 whatever the window, so a point of the world
// lands where that projection, stretched over the whole window, puts it; the icons keep
// theirs (20 degrees, 1.33), and each atom runs on its own clock.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/world.h"
#include "objects/atom.h"
#include "tests/support/game/game_harness.h"

namespace {

const int kWidth = 800;
const int kHeight = 450;  // 16:9

GameHarness& WideGame() {
    static GameHarness* h = new GameHarness(kWidth, kHeight);
    h->MakeCurrent();
    return *h;
}

struct D3 {
    double x, y, z;
};
D3 Sub(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 Cross(D3 a, D3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
D3 Unit(D3 a) {
    const double l = std::sqrt(Dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

// Window position of point p seen from `eye` along `forward` (up +y) through
// gluPerspective(fov, 1.33) over the kWidth x kHeight viewport.
void Project(D3 eye, D3 forward, double fov, D3 p, double* wx, double* wy) {
    const D3 f = Unit(forward);
    const D3 s = Unit(Cross(f, {0.0, 1.0, 0.0}));
    const D3 u = Cross(s, f);
    const D3 r = Sub(p, eye);
    const double cot = 1.0 / std::tan(fov / 2.0 * 3.14159265358979 / 180.0);
    const double depth = Dot(f, r);
    const double aspect = (double)1.33f;
    *wx = (cot / aspect * Dot(s, r) / depth + 1.0) * kWidth / 2.0;
    *wy = (cot * Dot(u, r) / depth + 1.0) * kHeight / 2.0;
}

// The same under the world's camera, the game's cameraMatrix, with a field of view of 80.
void Expected(const float* cam, D3 p, double* wx, double* wy) {
    Project({cam[12], cam[13], cam[14]}, {cam[8], cam[9], cam[10]}, 80.0, p, wx, wy);
}

// Empties the ring but for `lines` in the nearest slot (n = 1, depth 75) and keeps it
// from advancing in a frame at landscape time 0.
struct Line {
    float x0, y0, x1, y1;
};
void RingOf(const std::vector<Line>& lines) {
    for (int i = 0; i < kRingSlots; ++i) {
        landscape.slots[i]->Clear();
        landscape.stamps[i] = 0.0f;
    }
    const int oldest = (landscape.head + 1) % kRingSlots;
    for (const Line& l : lines) {
        SliceSegment seg;
        seg.start.Set(l.x0, l.y0, 75.0f);
        seg.end.Set(l.x1, l.y1, 75.0f);
        seg.startColour.Set(1.0f, 1.0f, 1.0f);
        seg.endColour.Set(1.0f, 1.0f, 1.0f);
        landscape.slots[oldest]->Push(seg);
    }
}

TEST(Projection, AtSixteenByNineTheWorldKeepsFieldOfView80AndAspect1_33) {
    GameHarness& h = WideGame();
    if (!h.Ok()) GTEST_SKIP() << "no display or data files";
    // The world is drawn moved by the steering's offset: the mouse moved right (offset x
    // up) shifts the landscape left on screen, as the camera looks along +z with +y up.
    const struct {
        float x, y;
    } offsets[] = {{0.0f, 0.0f}, {40.0f, -25.0f}, {-35.0f, 15.0f}};
    for (const auto& o : offsets) {
        SCOPED_TRACE(testing::Message() << "world offset " << o.x << ", " << o.y);
        h.NewGame();
        game.worldOffset = Vec3{o.x, o.y, 0.0f};
        // The first frame lasts 0: landscape time 0.
        const int head = landscape.head;
        const std::vector<Line> lines = {{-60.0f, 0.0f, 60.0f, 0.0f}, {0.0f, -30.0f, 0.0f, 30.0f},
                                         {-80.0f, 25.0f, 70.0f, -20.0f}};
        RingOf(lines);
        std::vector<FedPrimitive> fed = RecordFeedback([&] { h.Frame(0.0); });
        std::vector<FedPrimitive> drawn;
        for (const FedPrimitive& p : fed)
            if (p.token == GL_LINE_TOKEN && drawn.size() < 3) drawn.push_back(p);
        ASSERT_EQ(3u, drawn.size()) << "the landscape's lines come first";
        for (size_t i = 0; i < 3; ++i) {
            // Slice z 75 at depth 75, pushed back by 50 in the frame: world z 100.
            const Line& l = lines[i];
            double x, y;
            Expected(game.cameraMatrix.m, {l.x0 + o.x, l.y0 + o.y, 100.0}, &x, &y);
            EXPECT_NEAR(x, drawn[i].xy[0], 0.05) << "line " << i << " start";
            EXPECT_NEAR(y, drawn[i].xy[1], 0.05) << "line " << i << " start";
            Expected(game.cameraMatrix.m, {l.x1 + o.x, l.y1 + o.y, 100.0}, &x, &y);
            EXPECT_NEAR(x, drawn[i].xy[2], 0.05) << "line " << i << " end";
            EXPECT_NEAR(y, drawn[i].xy[3], 0.05) << "line " << i << " end";
        }
        EXPECT_EQ(head, landscape.head) << "no advance";
        if (o.x > 0.0f) {
            // Independently of the projection above: the horizontal line's middle (world
            // x 0 moved to o.x) is left of the window's centre.
            EXPECT_LT((drawn[0].xy[0] + drawn[0].xy[2]) / 2.0, kWidth / 2.0);
        }
    }
}

// The corners of the atom's electron cubes (1 to 6) at time t, from an atom of our own
// drawn at that time: where Draw(t) puts them is pinned with fixed numbers by the
// animation-speed test.
std::vector<D3> AtomCorners(float t) {
    Atom own;
    EXPECT_EQ(1, own.Build());
    own.Draw(t);
    std::vector<D3> out;
    for (int i = 8; i < 8 * 7; ++i) {
        const Vec3& v = own.vertices.items[i];
        out.push_back({v.x, v.y, v.z});
    }
    return out;
}

// Which clock each atom of the frame runs on: the collectible in the world on landscape
// time, the icon on total time. Each atom's electron corners are found in the picture
// where its own projection and its own clock put them.
TEST(Projection, TheWorldsAtomRunsOnLandscapeTimeAndTheIconsOnTotalTime) {
    GameHarness& h = WideGame();
    if (!h.Ok()) GTEST_SKIP() << "no display or data files";
    h.NewGame();
    RingOf({});
    // A frame of no time at total time 0.9: landscape time 0.3.
    game.totalTime = 0.9f;
    game.collectibleMatrix.Identity();
    game.collectibleMatrix.m[12] = -60.0f;
    game.collectibleMatrix.m[13] = 40.0f;
    game.collectibleMatrix.m[14] = 200.0f;
    game.collectibleActive = 1;
    game.collectibleKind = 0;
    const Mat4 camera = game.cameraMatrix;
    std::vector<FedPrimitive> fed = RecordFeedback([&] { h.Frame(0.0); });
    ASSERT_EQ(0.9f, game.totalTime);
    const float* cam = camera.m;
    struct Case {
        const char* atom;
        D3 eye, forward;
        double fov;
        D3 at;
        float time;
    };
    const Case cases[] = {
        {"in the world", {cam[12], cam[13], cam[14]}, {cam[8], cam[9], cam[10]}, 80.0,
         {-60.0, 40.0, 200.0}, 0.9f * 0.33333334f},
        {"icon", {0.0, 0.0, -150.0}, {0.0, 0.0, 151.0}, 20.0, {-190.0, -130.0, 800.0}, 0.9f},
    };
    for (const Case& c : cases) {
        int found = 0;
        for (const D3& v : AtomCorners(c.time)) {
            double x, y;
            Project(c.eye, c.forward, c.fov, {v.x + c.at.x, v.y + c.at.y, v.z + c.at.z}, &x, &y);
            bool here = false;
            for (const FedPrimitive& p : fed)
                for (size_t k = 0; k + 1 < p.xy.size() && !here; k += 2)
                    here = std::fabs(p.xy[k] - x) < 0.05 && std::fabs(p.xy[k + 1] - y) < 0.05;
            found += here ? 1 : 0;
        }
        EXPECT_EQ(48, found) << "electron corners of the atom " << c.atom;
    }
}

}  // namespace
