// How fast the atom and the flower move when drawn: after Draw(t) their cubes stand where
// orbits of the game's design put them at that time (the atom turns by 5 t, the flower's curves
// run with 40 t), at several times, so a changed time scale or a frozen object shows.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "objects/atom.h"
#include "objects/flower.h"
#include "object_test_util.h"
#include "tests/support/gl_fixture.h"

namespace {

// Where the atom's electron cube i (1..6) is centred at time t.
Vec3 AtomElectron(int i, float t) {
    double theta = 5.0 * t;
    double r = 15.0;
    if (i >= 4) {
        theta = -theta;  // the outer shell turns the other way
        r = 25.0;
    }
    const double c = std::cos(theta), s = std::sin(theta);
    switch (i) {
        case 1: case 4: return Vec3{0.0f, (float)(c * r), (float)(-s * r)};       // y-z plane
        case 2: case 5: return Vec3{(float)(-s * r), 0.0f, (float)(c * r)};       // x-z plane
        default: return Vec3{(float)(c * r), (float)(s * r), 0.0f};               // x-y plane
    }
}

// Where the flower's cube i (0..39) is centred at time t.
Vec3 FlowerCube(int i, float t) {
    const double a = 3.0 * i + 40.0 * t;
    if (i <= 20)
        return Vec3{(float)(15.0 * std::cos(a / 13) * std::sin(a / 11)),
                    (float)(15.0 * std::sin(a / 17) * std::sin(a / 20)),
                    (float)(15.0 * std::cos(a / 7) * std::sin(a / 29))};
    return Vec3{(float)(15.0 * std::sin(a / 13) * std::cos(a / 29)),
                (float)(15.0 * std::sin(a / 11) * std::sin(a / 20)),
                (float)(15.0 * std::cos(a / 17) * std::sin(a / 7))};
}

using AnimationSpeed = GlWindowTest<64, 64>;

TEST_F(AnimationSpeed, DrawPutsTheCubesOnTheirOrbitsAtThatTime) {
    struct Case {
        const char* object;
        float t;
    };
    // Times at which neither a time scale of 1 nor a frozen object would land near the
    // expected place; the flower's curves wind slowly, so its times spread further.
    const Case cases[] = {
        {"atom", 0.1f}, {"atom", 0.37f}, {"atom", 1.3f}, {"atom", 4.9f},
        {"flower", 0.05f}, {"flower", 0.4f}, {"flower", 2.7f}, {"flower", 11.0f},
    };
    Atom atom;
    Flower flower;
    ASSERT_EQ(1, atom.Build());
    ASSERT_EQ(1, flower.Build());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const Case& c : cases) {
        const std::string what = std::string(c.object) + " at t = " + std::to_string(c.t);
        if (std::string(c.object) == "atom") {
            atom.Draw(c.t);
            for (int i = 1; i <= 6; ++i) {
                const Vec3 e = AtomElectron(i, c.t);
                ExpectVecNear(CubeCentre(atom.vertices, i), e.x, e.y, e.z, 2e-3f,
                              (what + ", cube " + std::to_string(i)).c_str());
            }
        } else {
            flower.Draw(c.t);
            for (int i = 0; i < 40; ++i) {
                const Vec3 e = FlowerCube(i, c.t);
                ExpectVecNear(CubeCentre(flower.vertices, i), e.x, e.y, e.z, 2e-3f,
                              (what + ", cube " + std::to_string(i)).c_str());
            }
        }
    }
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

}  // namespace
