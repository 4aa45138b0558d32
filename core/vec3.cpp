#include "core/vec3.h"

Mat4 LookAtFrame(const Vec3& P, const Vec3& Q) {
    Vec3 f = Q.Sub(P);
    f.Normalize();
    const Vec3 up{0.0f, 1.0f, 0.0f};
    Vec3 s = f.Cross(up);
    Vec3 u = f.Cross(s);
    s.Normalize();
    u.Normalize();

    Mat4 r;
    r.Identity();
    r.m[0] = s.x; r.m[1] = s.y; r.m[2] = s.z;
    r.m[4] = u.x; r.m[5] = u.y; r.m[6] = u.z;
    r.m[8] = f.x; r.m[9] = f.y; r.m[10] = f.z;
    r.m[12] = P.x; r.m[13] = P.y; r.m[14] = P.z;
    return r;
}
