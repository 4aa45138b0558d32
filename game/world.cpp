#include "game/world.h"

// One translation unit, so the order of construction is the order written here.
Ship ship;
Atom atom;
Flower flower;
Fractal fractal;
ContourLandscape landscape;
BitmapFont fontA;
BitmapFont fontB;
StrokeFont strokeFont;
GameState game;

SceneObject& CollectibleOfKind(int kind) {
    switch (kind) {
        case 0: return atom;
        case 1: return flower;
        default: return fractal;
    }
}
