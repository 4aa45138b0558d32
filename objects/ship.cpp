#include "objects/ship.h"

#include <windows.h>
#include <GL/gl.h>

#include <cmath>
#include <new>

namespace {
const float kTint[3] = {0.075f, 0.05f, 0.175f};
const char kModelFile[] = "crfighter.3ds";

bool IsJetName(const char* name) {
    static const char kJet[] = "__jet";
    if (name == nullptr) return false;
    for (int i = 0;; ++i) {
        unsigned char c = (unsigned char)name[i];
        if (c >= 'A' && c <= 'Z') c = (unsigned char)(c - 'A' + 'a');
        if (c != (unsigned char)kJet[i]) return false;
        if (c == 0) return true;
    }
}

// Reference 0, 2, 1: the file's index order.
void EmitFaces(const GrowArray<DepthSortEntry<Face3ds>>& entries) {
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < entries.count; ++i) {
        const Face3ds& f = *entries.items[i].face;
        glNormal3f(f.normal.x, f.normal.y, f.normal.z);
        const Vec3& a = f.vertex[0]->position;
        const Vec3& b = f.vertex[2]->position;
        const Vec3& c = f.vertex[1]->position;
        glVertex3f(a.x, a.y, a.z);
        glVertex3f(b.x, b.y, b.z);
        glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
}
}  // namespace

void ComputeFlame(float t, FlameCopy copies[8]) {
    float u = 30.0f * t;
    // The sawtooth steps u down by 5 until it is at most 40. Done in one step rather than
    // a loop: the loop's cost grows with the playing time and, once u is so large that
    // u - 5 rounds back to u, it never ends. Below 2^24 the subtractions are exact, so
    // the result is the same.
    if (u > 40.0f) {
        if (std::isinf(u)) {
            u = 40.0f;
        } else {
            const double steps = std::ceil(((double)u - 40.0) / 5.0);
            u = (float)((double)u - 5.0 * steps);
        }
    }
    for (int i = 0; i < 8; ++i) {
        float b;
        if (u <= 15.0f) b = (u / 5.0f) * 0.33333334f;
        else b = 1.0f - (u - 3.0f) / 40.0f;
        copies[i].u = u;
        copies[i].brightness = b;
        copies[i].scale = 1.0f - u / 50.0f;
        u = u - 5.0f;
    }
}

Ship::Ship() : model(nullptr), dirty(0) {
    viewMatrix.Identity();
    modelMatrix.Identity();
    for (Vec3& v : jet) v.Set(0.0f, 0.0f, 0.0f);
}

Ship::~Ship() { Release(); }

int Ship::Build() { return Build(kModelFile); }

int Ship::Build(const char* fileName) {
    Release();
    model = new (std::nothrow) Model3ds;
    if (model == nullptr || !model->Load(fileName)) return 0;

    for (int i = 0; i < model->meshCount; ++i) {
        const Mesh3ds& mesh = model->meshes[i];
        for (int j = 0; j < mesh.faceCount; ++j) {
            const Face3ds& face = mesh.faces[j];
            DepthSortEntry<Face3ds> entry;
            entry.face = &face;
            entry.worldCentre = face.centre;
            entry.key = 0.0f;
            sortEntries.Push(entry);  // a face that cannot be listed is simply not drawn
        }
        if (IsJetName(mesh.name) && mesh.faceCount > 0) {
            const Face3ds& first = mesh.faces[0];
            jet[0] = first.vertex[2]->position;
            jet[1] = first.vertex[1]->position;
            jet[2] = first.vertex[0]->position;
        }
    }
    // Keys are computed at the first matrix change.
    dirty = 0;
    viewMatrix.Identity();
    modelMatrix.Identity();
    return 1;
}

void Ship::Release() {
    // The entries point into the model's faces: they go first.
    sortEntries.Clear();
    delete model;
    model = nullptr;
}

void Ship::SetModelMatrix(const Mat4& m) {
    modelMatrix.Assign(m);
    dirty = 1;
}

void Ship::SetViewMatrix(const Mat4& m) {
    viewMatrix.Assign(m);
    dirty = 1;
}

void Ship::Draw(float t) {
    SortFaces(sortEntries, viewMatrix, modelMatrix, dirty);

    // Culling and fill mode are the frame driver's.
    BeginFilledPass(kTint, false);
    EmitFaces(sortEntries);
    BeginOutlinePass(kTint);
    EmitFaces(sortEntries);
    EndTwoPass();

    // The flame: lighting off, alpha-additive lines, no culling, no depth test, all still
    // in force from the outline pass.
    FlameCopy copies[8];
    ComputeFlame(t, copies);
    glLineWidth(5.0f);
    glBegin(GL_TRIANGLES);
    for (const FlameCopy& c : copies) {
        glColor3f(0.4f * c.brightness, 0.3f * c.brightness, c.brightness);
        for (const Vec3& v : jet) glVertex3f(c.scale * v.x, c.scale * v.y, v.z - c.u);
    }
    glEnd();

    glEnable(GL_DEPTH_TEST);
}
