// The game's start-up steps, written once: the entry function, the tests' game harness and
// the soak program all start the game through these, so what a test starts is what the
// player runs. The log lines between the steps stay with the entry function; these steps
// write no log.
#pragma once

#include <windows.h>

// Registers the window class and opens the borderless top-most main window at
// screenWidth x screenHeight into mainWindow, shows it and hides the cursor once.
void OpenMainWindow(HINSTANCE instance, int showCommand);

// Builds the scene objects in their fixed order (fractal, flower, ship, atom), then gives
// the atom the camera matrix of the moment (after its build, which resets its matrices).
// `dataFolder` is prefixed to the ship's model file ("" for the working directory).
// Returns the ship's result; the game ignores it.
int BuildObjects(const char* dataFolder);

// The GL defaults the game adds to the display's own once the display exists: smooth
// lines at the nicest quality and light 0 lighting the current colour.
void SetGlDefaults();

// Loads the stroke font, then bitmap font A, then bitmap font B from `dataFolder` ("" for
// the working directory), stopping at the first that fails. Returns 1 when all loaded.
int LoadFonts(const char* dataFolder);

// Puts the cursor at the centre of the window and makes that the steering's rest point.
void CentreMouse();
