// The rules of the game, applied by the frame driver at fixed points of every frame:
// spawn (before the landscape), collection and approach (after the objects are drawn),
// then meters, drains and game over (after the icons).
#pragma once

#include <windows.h>

#include "game/game_state.h"
#include "landscape/contour_landscape.h"

void ApplySpawnRule(GameState& g, ContourLandscape& land);
void ApplyCollectionRule(GameState& g);
void ApplyApproachRule(GameState& g, ContourLandscape& land);
void ApplyMeterRule(GameState& g, ContourLandscape& land);
void ApplyDrainRule(GameState& g, ContourLandscape& land);
// Shows the "Game Over" box (owned by `owner`) when the energy has run out.
void ApplyGameOverRule(GameState& g, HWND owner);

// Formats the game-over text (Windows-1250 bytes) with the three counts.
void FormatGameOverText(char* buffer, int size, const int collected[3]);
