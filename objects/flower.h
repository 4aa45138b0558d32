// Flower: collectible kind 1. Forty small cubes on two winding curves, a red strand of
// 21 cubes (0..20) and a blue one of 19 (21..39), each cube smaller than the one before.
// It is an Atom with its own Build and Draw; everything else, members included, is the
// atom's.
#pragma once

#include "objects/atom.h"

class Flower : public Atom {
public:
    int Build() override;
    // Draw(t) animates with t itself; the colour follows each face's strand.
    void Draw(float t) override;

    // First step of Draw: places the forty cubes for time t (hides the atom's orbits).
    // Only vertices move; normals, centres and sizes keep their build values.
    void Animate(float t);
};
