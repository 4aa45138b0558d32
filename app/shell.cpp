#include "app/shell.h"

int screenWidth = 640;
int screenHeight = 480;
int hasFocus = 1;
MouseCentre mouseCentre = {0, 0};

const char kWindowName[] = "Orvendale";
