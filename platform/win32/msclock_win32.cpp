#include "platform/msclock.h"

#include <ctime>

// CLOCKS_PER_SEC is 1000 on Windows and clock() runs on wall-clock time there.
long MillisecondClock() { return (long)clock(); }
