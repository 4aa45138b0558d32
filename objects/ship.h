// Ship: the player's craft. Every triangle of every mesh of the 3DS model crfighter.3ds
// is drawn in the two-pass recipe in one violet tint, and behind it an exhaust flame:
// eight nested copies of the first face of the mesh named "__jet", drawn as thick
// outlines that shrink, fade and recede along -z in a loop.
#pragma once

#include "assets/model3ds.h"
#include "core/grow_array.h"
#include "core/vec3.h"
#include "objects/scene_object.h"

// One of the eight flame copies: its offset u along -z, its brightness and its scale.
struct FlameCopy {
    float u;
    float brightness;
    float scale;
};

// The flame at time t (the game's totalTime), copy 0 first: u starts at 30 t, brought
// down in steps of 5 into (35, 40] once 30 t passes 40, and drops by 5 per copy.
void ComputeFlame(float t, FlameCopy copies[8]);

class Ship : public SceneObject {
public:
    Ship();
    ~Ship() override;

    // Loads "crfighter.3ds" from the working directory. No GL calls: it runs before the
    // display exists.
    int Build() override;
    // The same with another model file.
    int Build(const char* fileName);
    void Release() override;
    // t drives the flame only.
    void Draw(float t) override;
    void SetModelMatrix(const Mat4& m) override;
    void SetViewMatrix(const Mat4& m) override;

    Model3ds* model;  // owned; null when none
    GrowArray<DepthSortEntry<Face3ds>> sortEntries;
    Mat4 viewMatrix;
    Mat4 modelMatrix;
    int dirty;
    Vec3 jet[3];  // the exhaust triangle, in the model's stored coordinates
};
