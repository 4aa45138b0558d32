// Vec3, Mat4 and Plane: the three value types every geometric computation goes through.
//
// Two conventions differ from the textbook and the rest of the game relies on them:
// a.Cross(b) yields b x a, and LookAtFrame builds a left-handed frame (see below).
// Everything stored is a 32-bit float; intermediate sums may be wider.
#pragma once

#include <cmath>

struct Vec3 {
    float x, y, z;

    Vec3& Set(float nx, float ny, float nz) { x = nx; y = ny; z = nz; return *this; }
    void Assign(const Vec3& b) { x = b.x; y = b.y; z = b.z; }

    float Length() const {
        return (float)std::sqrt((double)x * x + (double)y * y + (double)z * z);
    }
    float LengthSquared() const { return x * x + y * y + z * z; }

    // In place; a zero vector stays zero.
    void Normalize() {
        float len = Length();
        if (len != 0.0f) { x /= len; y /= len; z /= len; }
    }

    Vec3 Add(const Vec3& b) const { return Vec3{x + b.x, y + b.y, z + b.z}; }
    Vec3 Sub(const Vec3& b) const { return Vec3{x - b.x, y - b.y, z - b.z}; }
    Vec3 Scale(float s) const { return Vec3{s * x, s * y, s * z}; }

    // b x a, not a x b: (1,0,0).Cross((0,1,0)) is (0,0,-1). Faces, culling and the
    // camera frame are all written against this order.
    Vec3 Cross(const Vec3& b) const {
        return Vec3{z * b.y - y * b.z, x * b.z - z * b.x, y * b.x - x * b.y};
    }
};

// Sixteen floats in OpenGL column-major order (element = 4 * column + row), handed to
// glLoadMatrixf unchanged. The translation is in elements 12..14.
struct Mat4 {
    float m[16];

    void Identity() {
        for (float& e : m) e = 0.0f;
        m[0] = m[5] = m[10] = m[15] = 1.0f;
    }
    void Assign(const Mat4& other) {
        for (int i = 0; i < 16; ++i) m[i] = other.m[i];
    }
    // Scales the three basis columns; translation and the fourth row stay.
    void ScaleBasis(float s) {
        static const int kBasis[9] = {0, 1, 2, 4, 5, 6, 8, 9, 10};
        for (int i : kBasis) m[i] *= s;
    }
    // p with w = 1 through the matrix; the fourth row is ignored.
    Vec3 TransformPoint(const Vec3& p) const {
        return Vec3{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                    m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                    m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
    }
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

struct Plane {
    Vec3 normal;
    float d;

    // normal = unit(e1.Cross(e2)) = unit(e2 x e1); the plane passes through p.
    static Plane FromEdges(const Vec3& e1, const Vec3& e2, const Vec3& p) {
        Plane pl;
        pl.normal = e1.Cross(e2);
        pl.normal.Normalize();
        pl.d = -(p.z * pl.normal.z + p.y * pl.normal.y + p.x * pl.normal.x);
        return pl;
    }
};

// A frame placed at P whose local z axis looks towards Q. Columns: side = up x F,
// up' = side x F (pointing away from world up), F; translation P. Left-handed:
// from (0,0,0) towards (0,0,5) it is a mirror in y, not a rotation.
Mat4 LookAtFrame(const Vec3& P, const Vec3& Q);
