// The game's objects with static lifetime. They are constructed before the entry function
// runs, in the order declared here, and destroyed in reverse order after it returns.
// Construction loads nothing; the start-up builds and loads them.
#pragma once

#include "assets/bitmap_font.h"
#include "assets/stroke_font.h"
#include "game/game_state.h"
#include "landscape/contour_landscape.h"
#include "objects/atom.h"
#include "objects/flower.h"
#include "objects/fractal.h"
#include "objects/ship.h"

extern Ship ship;
extern Atom atom;
extern Flower flower;
extern Fractal fractal;
extern ContourLandscape landscape;
extern BitmapFont fontA;  // loaded from "font_vimra.tga"
extern BitmapFont fontB;  // loaded from "font_tech.tga"
extern StrokeFont strokeFont;
extern GameState game;

// The collectible object of kind 0 (atom), 1 (flower) or 2 (fractal).
SceneObject& CollectibleOfKind(int kind);
