// The game's sound, made from its own state after every frame and played through the
// wave-out device. Without a device (none, one that fails to open or to take a buffer)
// the game plays on in silence, and one line on the terminal says why. Sound never
// changes the game: it only reads the game's state and calls nothing that a replay
// records.
#pragma once

// At start-up: opens the device when `wanted` (the n_Sound setting). Also puts the last
// tone of a game in place before the Game Over box stops the loop.
void OpenSound(bool wanted);
// Once per pass of the message loop: follows the game's state and refills the device.
void UpdateSound();
// A new flight: the sound starts as at a new start (countdown, drone, no cues heard yet).
void RestartSound();
// A new best flight: a short rising figure, played out whole, since the results wait
// without refilling the device.
void PlayNewBestFigure();
// The M key: silence and back.
void ToggleSoundMute();
bool SoundMuted();
// At shutdown: stops at once.
void CloseSound();
