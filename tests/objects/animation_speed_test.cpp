// How fast the atom and the flower move when drawn: after Draw(t) their cubes stand where
// orbits of the game's design put them at that time (the atom turns by 5 t, the flower's curves
// run with 40 t), at several times, so a changed time scale or a frozen object shows.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "objects/atom.h"
#include "objects/flower.h"
#include "object_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

// Where cubes stand after Draw(t), worked out once outside the game (Python, in double
// precision) from the orbits of the game's design: the atom's electrons on circles of 15
// (cubes 1-3) and 25 (cubes 4-6, turning the other way) at angle 5 t; the flower's cube i
// on its curve at a = 3 i + 40 t. Times at which neither a time scale of 1 nor a frozen
// object would land near the expected place; the flower's curves wind slowly, so its
// times spread further. Flower cubes 20 and 21 sit either side of its two curves' seam.
struct Placed {
    bool atom;
    float t;
    int cube;
    Vec3 centre;
};
const Placed kPlaced[] = {
        {true, 0.1f, 1, {0.0000f, 13.1637f, -7.1914f}},
        {true, 0.1f, 2, {-7.1914f, 0.0000f, 13.1637f}},
        {true, 0.1f, 3, {13.1637f, 7.1914f, 0.0000f}},
        {true, 0.1f, 4, {0.0000f, 21.9396f, 11.9856f}},
        {true, 0.1f, 5, {11.9856f, 0.0000f, 21.9396f}},
        {true, 0.1f, 6, {21.9396f, -11.9856f, 0.0000f}},
        {true, 0.37f, 1, {0.0000f, -4.1339f, -14.4191f}},
        {true, 0.37f, 2, {-14.4191f, 0.0000f, -4.1339f}},
        {true, 0.37f, 3, {-4.1339f, 14.4191f, 0.0000f}},
        {true, 0.37f, 4, {0.0000f, -6.8898f, 24.0319f}},
        {true, 0.37f, 5, {24.0319f, 0.0000f, -6.8898f}},
        {true, 0.37f, 6, {-6.8898f, -24.0319f, 0.0000f}},
        {true, 1.3f, 1, {0.0000f, 14.6488f, -3.2268f}},
        {true, 1.3f, 2, {-3.2268f, 0.0000f, 14.6488f}},
        {true, 1.3f, 3, {14.6488f, 3.2268f, 0.0000f}},
        {true, 1.3f, 4, {0.0000f, 24.4147f, 5.3780f}},
        {true, 1.3f, 5, {5.3780f, 0.0000f, 24.4147f}},
        {true, 1.3f, 6, {24.4147f, -5.3780f, 0.0000f}},
        {true, 4.9f, 1, {0.0000f, 12.0961f, 8.8704f}},
        {true, 4.9f, 2, {8.8704f, 0.0000f, 12.0961f}},
        {true, 4.9f, 3, {12.0961f, -8.8704f, 0.0000f}},
        {true, 4.9f, 4, {0.0000f, 20.1602f, -14.7839f}},
        {true, 4.9f, 5, {-14.7839f, 0.0000f, 20.1602f}},
        {true, 4.9f, 6, {20.1602f, 14.7839f, 0.0000f}},
        {false, 0.05f, 0, {2.6802f, 0.1758f, 0.9918f}},
        {false, 0.05f, 1, {6.1047f, 1.0758f, 1.9444f}},
        {false, 0.05f, 13, {8.2909f, 8.8746f, 13.4911f}},
        {false, 0.05f, 20, {-0.5136f, -0.3020f, -10.6676f}},
        {false, 0.05f, 21, {8.9387f, 0.5931f, -1.6142f}},
        {false, 0.05f, 30, {-10.6896f, -13.0111f, 5.2634f}},
        {false, 0.05f, 39, {-2.2963f, 4.8288f, -10.8720f}},
        {false, 0.4f, 0, {4.9689f, 8.6971f, -5.1542f}},
        {false, 0.4f, 1, {1.6156f, 10.9698f, -8.3177f}},
        {false, 0.4f, 13, {6.6628f, -0.5356f, -0.0449f}},
        {false, 0.4f, 20, {7.9616f, 8.9109f, -1.0301f}},
        {false, 0.4f, 21, {2.8082f, -8.4882f, 0.9383f}},
        {false, 0.4f, 30, {-12.4819f, 2.6218f, 8.0234f}},
        {false, 0.4f, 39, {1.3620f, -2.4625f, 0.0685f}},
        {false, 2.7f, 0, {2.5203f, -0.8079f, 7.9323f}},
        {false, 2.7f, 1, {5.8607f, -2.4469f, 9.3961f}},
        {false, 2.7f, 13, {3.2954f, 9.2163f, 7.6991f}},
        {false, 2.7f, 20, {5.9263f, -5.6631f, -2.9949f}},
        {false, 2.7f, 21, {7.7002f, 1.8624f, 7.8236f}},
        {false, 2.7f, 30, {5.8934f, 5.1541f, -0.1035f}},
        {false, 2.7f, 39, {-1.4276f, -14.5086f, 7.8203f}},
        {false, 11.0f, 0, {-8.4660f, -0.0905f, 7.6523f}},
        {false, 11.0f, 1, {-7.1549f, -1.8965f, 5.6457f}},
        {false, 11.0f, 13, {-4.1743f, -1.3566f, -8.3977f}},
        {false, 11.0f, 20, {10.7948f, 1.8018f, 10.1375f}},
        {false, 11.0f, 21, {0.8296f, 0.2550f, -1.4823f}},
        {false, 11.0f, 30, {0.8997f, -12.8003f, 4.5294f}},
        {false, 11.0f, 39, {-12.7458f, 2.2383f, -2.8344f}},
};

using AnimationSpeed = GlWindowTest<64, 64>;

TEST_F(AnimationSpeed, DrawPutsTheCubesOnTheirOrbitsAtThatTime) {
    Atom atom;
    Flower flower;
    ASSERT_EQ(1, atom.Build());
    ASSERT_EQ(1, flower.Build());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const Placed& c : kPlaced) {
        const std::string what = std::string(c.atom ? "atom" : "flower") + " at t = " +
                                 std::to_string(c.t) + ", cube " + std::to_string(c.cube);
        if (c.atom) atom.Draw(c.t);
        else flower.Draw(c.t);
        const Vec3 got = CubeCentre(c.atom ? atom.vertices : flower.vertices, c.cube);
        ExpectVecNear(got, c.centre.x, c.centre.y, c.centre.z, 2e-3f, what.c_str());
    }
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

}  // namespace
