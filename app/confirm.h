// The player's "yes", from any device: the pad's A button (and, where the game has a
// screen that asks, its keys and clicks too).
#pragma once

// Answers what the game is asking, if it asks anything outside a message box; true when
// it did. The "Game Over" box is modal and takes its answer from its own keys (a pad's
// buttons cannot reach a modal box, on Windows as in the stand-in), and a flight asks
// nothing, so for now nothing is answered here.
bool ConfirmOrFlyAgain();
