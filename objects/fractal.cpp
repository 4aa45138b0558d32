#include "objects/fractal.h"

#include <windows.h>
#include <GL/gl.h>

#include <cmath>

namespace {
const float kColour[3] = {0.075f, 0.175f, 0.05f};

FractalVertex MakeVertex(float x, float y, float z) {
    FractalVertex v = {};
    v.position.Set(x, y, z);
    return v;
}

TriFace MakeFace(int level, float s, FractalVertex* c0, FractalVertex* c1, FractalVertex* c2) {
    TriFace f = {};
    f.level = level;
    f.corner0 = c0;
    f.corner1 = c1;
    f.corner2 = c2;
    const Vec3& p0 = c0->position;
    const Vec3& p1 = c1->position;
    const Vec3& p2 = c2->position;
    const Plane plane = Plane::FromEdges(p0.Sub(p2), p1.Sub(p2), p2);
    f.normal = plane.normal;
    f.d = plane.d;
    f.centre = p0.Add(p1).Add(p2).Scale(0.33333f);
    f.size = s;
    return f;
}

void DrawLevel(const GrowArray<DepthSortEntry<TriFace>>& sortEntries, int level) {
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < sortEntries.count; ++i) {
        const TriFace* face = sortEntries.items[i].face;
        if (face->level != level) continue;
        const Vec3& p0 = face->corner0->position;
        const Vec3& p1 = face->corner1->position;
        const Vec3& p2 = face->corner2->position;
        glNormal3f(face->normal.x, face->normal.y, face->normal.z);
        glVertex3f(p0.x, p0.y, p0.z);
        glVertex3f(p2.x, p2.y, p2.z);
        glVertex3f(p1.x, p1.y, p1.z);
    }
    glEnd();
}
}  // namespace

Fractal::Fractal() : dirty(0) {
    viewMatrix.Identity();
    modelMatrix.Identity();
}

Fractal::~Fractal() {}

int Fractal::Build() {
    Release();
    // Faces point into the vertex storage, so it is reserved in one piece up front and
    // never moves while the subdivision pushes into it.
    if (!vertices.AddCount(kVertexReserve)) return 0;
    vertices.RemoveRange(0, -1);

    const int complete = Subdivide(0, 20.0f, Vec3{0.0f, -14.4f, 0.0f});

    for (int i = 0; i < faces.count; ++i) {
        const DepthSortEntry<TriFace> entry{&faces.items[i], Vec3{0.0f, 0.0f, 0.0f}, 0.0f};
        if (!sortEntries.Push(entry)) return 0;
    }
    dirty = 1;
    viewMatrix.Identity();
    modelMatrix.Identity();
    // A face that could not be stored leaves a hole: that is a failed build.
    return complete;
}

int Fractal::Subdivide(int level, float s, const Vec3& p) {
    if (level > kDeepestLevel) return 1;

    // The reservation covers the whole subdivision; should it not, stop rather than let
    // faces point past the stored vertices.
    const int base = vertices.count;
    if (base + 4 > vertices.capacity) return 0;
    vertices.Push(MakeVertex(p.x, p.y + 1.44f * s, p.z));                         // apex
    vertices.Push(MakeVertex(p.x, p.y, p.z + s));                                 // front
    vertices.Push(MakeVertex(p.x + 0.6944444f * s, p.y, p.z - 0.5f * s));         // right
    vertices.Push(MakeVertex(p.x - 0.6944444f * s, p.y, p.z - 0.5f * s));         // left
    FractalVertex* apex = &vertices.items[base];
    FractalVertex* front = &vertices.items[base + 1];
    FractalVertex* right = &vertices.items[base + 2];
    FractalVertex* left = &vertices.items[base + 3];

    int ok = 1;
    if (!faces.Push(MakeFace(level, s, apex, front, right))) ok = 0;
    if (!faces.Push(MakeFace(level, s, apex, right, left))) ok = 0;
    if (!faces.Push(MakeFace(level, s, apex, left, front))) ok = 0;
    if (!faces.Push(MakeFace(level, s, front, left, right))) ok = 0;
    if (!ok) return 0;

    const float half = s * 0.5f;
    if (!Subdivide(level + 1, half, p.Add(Vec3{0.0f, 0.72f * s, 0.0f}))) return 0;
    if (!Subdivide(level + 1, half, p.Add(Vec3{0.0f, 0.0f, 0.5f * s}))) return 0;
    if (!Subdivide(level + 1, half, p.Add(Vec3{-0.3472222f * s, 0.0f, -0.25f * s}))) return 0;
    if (!Subdivide(level + 1, half, p.Add(Vec3{0.3472222f * s, 0.0f, -0.25f * s}))) return 0;
    return 1;
}

void Fractal::Release() {
    vertices.Clear();
    faces.Clear();
    sortEntries.Clear();
}

void Fractal::SetModelMatrix(const Mat4& m) {
    modelMatrix.Assign(m);
    dirty = 1;
}

void Fractal::SetViewMatrix(const Mat4& m) {
    viewMatrix.Assign(m);
    dirty = 1;
}

int Fractal::SelectLevel(float t) {
    const float v = 4.0f * std::fabs(std::sin(2.0f * t)) + 0.5f;
    // Converting a NaN to int is undefined; such a time shows nothing.
    if (!(v >= 0.0f)) return -1;
    return (int)v;
}

void Fractal::Draw(float t) {
    const int level = SelectLevel(t);
    SortFaces(sortEntries, viewMatrix, modelMatrix, dirty);

    BeginFilledPass(kColour);
    DrawLevel(sortEntries, level);
    BeginOutlinePass(kColour);
    DrawLevel(sortEntries, level);
    EndTwoPass();
}
