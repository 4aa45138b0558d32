// Matrix arithmetic of the fixed-function pipeline, done the way desktop GL and GLU do it
// (float matrices, column-major; GLU builds its matrices in double and hands them over as
// floats), so the browser's pictures stand where the desktop's do.
#pragma once

namespace orvgl {

// Column-major, as glLoadMatrixf takes it: m[col * 4 + row].
struct Mat4 {
    float m[16];
    static Mat4 Identity();
};

// a * b: b applied first, as glMultMatrix multiplies the current matrix on the right.
Mat4 Multiply(const Mat4& a, const Mat4& b);
// m * T(x, y, z), as glTranslatef.
Mat4 Translated(const Mat4& m, float x, float y, float z);
// The matrix gluPerspective multiplies by; false (and nothing to multiply) where GLU gives up.
bool PerspectiveMatrix(double fovy, double aspect, double zNear, double zFar, Mat4& out);
// The rotation part gluLookAt multiplies by; the eye's translation follows it separately.
Mat4 LookAtRotation(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                    double centerZ, double upX, double upY, double upZ);
// m * v for a column vector v of four.
void Transform(const Mat4& m, const float v[4], float out[4]);
// The inverse transpose of m's upper 3x3, column-major, which carries normals into eye
// space. Not normalized afterwards: without GL_NORMALIZE, GL does not either.
void NormalMatrix(const Mat4& m, float out[9]);

}  // namespace orvgl
