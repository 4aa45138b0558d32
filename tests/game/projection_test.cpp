// The world's projection at a window size that is not 4:3: the frame keeps a field of
// view of 80 degrees and an aspect of 1.33 whatever the window, so a point of the world
// lands where that projection, stretched over the whole window, puts it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/world.h"
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
D3 Cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
D3 Unit(D3 a) {
    const double l = std::sqrt(Dot(a, a));
    return {a.x / l, a.y / l, a.z / l};
}

// Window position of world point p under the camera of `cam` with gluPerspective(80,
// 1.33) over a kWidth x kHeight viewport.
void Expected(const float* cam, D3 p, double* wx, double* wy) {
    const D3 eye{cam[12], cam[13], cam[14]};
    const D3 f = Unit({cam[8], cam[9], cam[10]});
    const D3 s = Unit(Cross(f, {0.0, 1.0, 0.0}));
    const D3 u = Cross(s, f);
    const D3 r = Sub(p, eye);
    const double cot = 1.0 / std::tan(40.0 * 3.14159265358979 / 180.0);
    const double depth = Dot(f, r);
    const double aspect = (double)1.33f;
    *wx = (cot / aspect * Dot(s, r) / depth + 1.0) * kWidth / 2.0;
    *wy = (cot * Dot(u, r) / depth + 1.0) * kHeight / 2.0;
}

TEST(Projection, AtSixteenByNineTheWorldKeepsFieldOfView80AndAspect1_33) {
    GameHarness& h = WideGame();
    if (!h.Ok()) GTEST_SKIP() << "no display or data files";
    h.NewGame();
    // The first frame lasts 0: landscape time 0. Empty the ring but for the nearest slot
    // (n = 1, depth 75) and keep it from advancing.
    for (int i = 0; i < kRingSlots; ++i) {
        landscape.slots[i]->Clear();
        landscape.stamps[i] = 0.0f;
    }
    struct Line {
        float x0, y0, x1, y1;
    };
    const Line lines[] = {{-60.0f, 0.0f, 60.0f, 0.0f}, {0.0f, -30.0f, 0.0f, 30.0f},
                          {-80.0f, 25.0f, 70.0f, -20.0f}};
    const int head = landscape.head;
    const int oldest = (head + 1) % kRingSlots;
    for (const Line& l : lines) {
        SliceSegment seg;
        seg.start.Set(l.x0, l.y0, 75.0f);
        seg.end.Set(l.x1, l.y1, 75.0f);
        seg.startColour.Set(1.0f, 1.0f, 1.0f);
        seg.endColour.Set(1.0f, 1.0f, 1.0f);
        ASSERT_EQ(1, landscape.slots[oldest]->Push(seg));
    }
    std::vector<FedPrimitive> fed = RecordFeedback([&] { h.Frame(0.0); });
    std::vector<FedPrimitive> drawn;
    for (const FedPrimitive& p : fed)
        if (p.token == GL_LINE_TOKEN && drawn.size() < 3) drawn.push_back(p);
    ASSERT_EQ(3u, drawn.size()) << "the landscape's lines come first";
    for (size_t i = 0; i < 3; ++i) {
        // Slice z 75 at depth 75, pushed back by 50 in the frame: world z 100.
        const Line& l = lines[i];
        double x, y;
        Expected(game.cameraMatrix.m, {l.x0, l.y0, 100.0}, &x, &y);
        EXPECT_NEAR(x, drawn[i].xy[0], 0.05) << "line " << i << " start";
        EXPECT_NEAR(y, drawn[i].xy[1], 0.05) << "line " << i << " start";
        Expected(game.cameraMatrix.m, {l.x1, l.y1, 100.0}, &x, &y);
        EXPECT_NEAR(x, drawn[i].xy[2], 0.05) << "line " << i << " end";
        EXPECT_NEAR(y, drawn[i].xy[3], 0.05) << "line " << i << " end";
    }
    EXPECT_EQ(head, landscape.head) << "no advance";
}

}  // namespace
