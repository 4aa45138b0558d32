#include "platform/web/gl/gl_math.h"

#include <cmath>

namespace orvgl {

Mat4 Mat4::Identity() {
    Mat4 r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

Mat4 Multiply(const Mat4& a, const Mat4& b) {
    // Each element summed left to right over k, as Mesa does, so the results agree with
    // the desktop's to the last bit where the inputs do.
    Mat4 p;
    for (int i = 0; i < 4; ++i) {
        const float ai0 = a.m[i], ai1 = a.m[4 + i], ai2 = a.m[8 + i], ai3 = a.m[12 + i];
        for (int j = 0; j < 4; ++j) {
            p.m[j * 4 + i] = ai0 * b.m[j * 4] + ai1 * b.m[j * 4 + 1] + ai2 * b.m[j * 4 + 2] +
                             ai3 * b.m[j * 4 + 3];
        }
    }
    return p;
}

Mat4 Translated(const Mat4& m, float x, float y, float z) {
    Mat4 r = m;
    for (int i = 0; i < 4; ++i) r.m[12 + i] = m.m[i] * x + m.m[4 + i] * y + m.m[8 + i] * z + m.m[12 + i];
    return r;
}

bool PerspectiveMatrix(double fovy, double aspect, double zNear, double zFar, Mat4& out) {
    const double radians = fovy / 2 * 3.14159265358979323846 / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return false;
    const double cotangent = std::cos(radians) / sine;
    double m[16] = {0};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    for (int i = 0; i < 16; ++i) out.m[i] = (float)m[i];
    return true;
}

namespace {

void Normalize(float v[3]) {
    const float r = (float)std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

Mat4 LookAtRotation(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                    double centerZ, double upX, double upY, double upZ) {
    // GLU works in float from here on.
    float forward[3] = {(float)(centerX - eyeX), (float)(centerY - eyeY), (float)(centerZ - eyeZ)};
    float up[3] = {(float)upX, (float)upY, (float)upZ};
    float side[3];
    Normalize(forward);
    Cross(forward, up, side);
    Normalize(side);
    Cross(side, forward, up);
    Mat4 r = Mat4::Identity();
    for (int k = 0; k < 3; ++k) {
        r.m[k * 4 + 0] = side[k];
        r.m[k * 4 + 1] = up[k];
        r.m[k * 4 + 2] = -forward[k];
    }
    return r;
}

void Transform(const Mat4& m, const float v[4], float out[4]) {
    for (int i = 0; i < 4; ++i)
        out[i] = m.m[i] * v[0] + m.m[4 + i] * v[1] + m.m[8 + i] * v[2] + m.m[12 + i] * v[3];
}

void NormalMatrix(const Mat4& m, float out[9]) {
    // a[row][col] of the upper 3x3.
    const float a00 = m.m[0], a01 = m.m[4], a02 = m.m[8];
    const float a10 = m.m[1], a11 = m.m[5], a12 = m.m[9];
    const float a20 = m.m[2], a21 = m.m[6], a22 = m.m[10];
    const float c00 = a11 * a22 - a12 * a21, c01 = a12 * a20 - a10 * a22, c02 = a10 * a21 - a11 * a20;
    const float c10 = a02 * a21 - a01 * a22, c11 = a00 * a22 - a02 * a20, c12 = a01 * a20 - a00 * a21;
    const float c20 = a01 * a12 - a02 * a11, c21 = a02 * a10 - a00 * a12, c22 = a00 * a11 - a01 * a10;
    const float det = a00 * c00 + a01 * c01 + a02 * c02;
    // A singular modelview squashes everything flat anyway; its normals then keep their
    // directions rather than turning into infinities.
    const float inv = det != 0.0f ? 1.0f / det : 1.0f;
    // The inverse is the transposed cofactor matrix over det, so its transpose is the
    // cofactor matrix itself over det: element (row r, col c) = c_rc / det.
    const float cof[3][3] = {{c00, c01, c02}, {c10, c11, c12}, {c20, c21, c22}};
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row) out[col * 3 + row] = det != 0.0f ? cof[row][col] * inv
                                                                             : (row == col ? 1.0f : 0.0f);
}

}  // namespace orvgl
