// The pause, on the P key: game time stands still, the picture stays with "PAUSED" over
// it, and the cursor is the player's to use elsewhere until the game goes on.
#pragma once

// Pauses a running game, or resumes a paused one. Resuming re-centres the cursor first, so
// whatever the hand did meanwhile does not jerk the world, and hides it again. A game that
// is over has nothing to pause.
void TogglePause();
