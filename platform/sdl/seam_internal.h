// What the stand-in's calls ask of the test seam. Private to platform/sdl.
#pragma once

#include "platform/sdl/seam.h"

namespace orvseam {

// Counts one call of `call`; true when the seam wants it to fail.
bool EnterCall(Call call);

bool ScriptedCounter(int64_t* ticks);
bool ScriptedFrequency(int64_t* ticksPerSecond);
bool ScriptedMilliseconds(long* ms);

// Takes the next scripted answer, if any, and records the box.
bool TakeMessageBoxAnswer(const std::string& text, const std::string& caption, UINT type,
                          int* answer);
void RecordMessageBox(const std::string& text, const std::string& caption, UINT type,
                      int answer);
bool MessageBoxesUnshowable();
void RecordModeChange(int width, int height, int bitsPerPel, unsigned flags, long result);

// Unplugs every virtual pad a test attached.
void DetachVirtualPads();

// Runs the pump hook, if one is set.
void BeforePump();

}  // namespace orvseam
