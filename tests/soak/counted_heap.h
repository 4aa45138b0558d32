// The soak program's own heap, counted exactly: operator new and delete are replaced in
// counted_heap.cpp, and every block asked for by code of this program (the game's
// libraries are linked in statically) is counted until it is deleted. Blocks asked for by
// shared libraries (the GL driver, SDL) are not.
#pragma once

// Bytes in blocks of ours not yet deleted.
long long OurHeapBytes();
