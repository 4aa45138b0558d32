// The landscape the ship flies through: a ring of 75 contour slices, each traced from
// the field at one moment, drawn one behind the other along +z with additive blending in
// black fog. Once per frame the ring may advance: the oldest slot is regenerated from the
// present field and becomes the newest, far away. The game rules ask it about the
// sources of the oldest slot, the one nearest the viewer.
#pragma once

#include "core/grow_array.h"
#include "core/vec3.h"
#include "landscape/contour_slice.h"

const int kRingSlots = 75;

class ContourLandscape {
public:
    GrowArray<Vec3> sources;          // the four sources in effect, rewritten before each use
    ContourSlice* current;            // slice being generated or last drawn; not owned
    ContourSlice* slots[kRingSlots];  // the ring, owned
    float stamps[kRingSlots];         // scaled time each slot was last generated at
    int ready;                        // 1 once all slices exist
    int head;                         // newest slot; (head + 1) % 75 is the oldest

    ContourLandscape();
    ~ContourLandscape();
    ContourLandscape(const ContourLandscape&) = delete;
    ContourLandscape& operator=(const ContourLandscape&) = delete;

    // Back to the ring of a new game: every slice empty, the head at slot 0, no stamps,
    // no sources. The slices keep their storage.
    void Restart();

    // Sets the fog state, advances the ring by at most one slot, draws 74 slices under
    // the caller's matrices. Called once per frame with the landscape time.
    void AdvanceAndDraw(float x);

    // 75 plus the scaled time between the newest and the oldest slot; 0 while the
    // slice last drawn is empty.
    float RingSpan();

    // Where source k of the oldest slot stood, with z the depth it has come to at time t.
    Vec3 OldestSource(int k, float t);

    // The source of the oldest slot whose field is strongest at its own position shifted
    // by (-ox, -oy); ties go to the lower index. 0 if the sources cannot be placed.
    int StrongestSource(float ox, float oy, float t);

    // 10000 x the field of the oldest slot at source 0 shifted by (-ox, -oy).
    // 0 (outside the field) if the sources cannot be placed.
    float FieldProbe(float ox, float oy, float t);

    // Traces the contour of the placed sources into `current`, then adds up to 20 stars.
    // Needs four placed sources and a current slice; otherwise does nothing.
    void GenerateSlice();

    // Empties the source list, keeping its storage so that a frame needs no memory once
    // the first placement succeeded, and pushes SourcePosition(k, x) for k = 0..3.
    // Returns 1, or 0 if the four sources could not all be stored.
    int PlaceSources(float x);

private:
    int PlaceOldestSources(float t);
};
