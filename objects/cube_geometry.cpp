#include "objects/cube_geometry.h"

#include <windows.h>
#include <GL/gl.h>

const int kCubeFaceCorners[6][4] = {
    {0, 2, 3, 1},  // z = -h
    {4, 5, 7, 6},  // z = +h
    {2, 6, 7, 3},  // y = +h
    {1, 5, 4, 0},  // y = -h
    {1, 3, 7, 5},  // x = +h
    {4, 6, 2, 0},  // x = -h
};

void UpdateQuadPlane(QuadFace& face) {
    const Vec3 e1 = face.corner1->Sub(*face.corner0);
    const Vec3 e2 = face.corner2->Sub(*face.corner0);
    const Plane plane = Plane::FromEdges(e1, e2, *face.corner0);
    face.normal = plane.normal;
    face.d = plane.d;
}

int BuildCubes(GrowArray<Vec3>& vertices, GrowArray<QuadFace>& faces,
               GrowArray<DepthSortEntry<QuadFace>>& sortEntries, int cubeCount,
               int lastRedCube) {
    const Vec3 origin{0.0f, 0.0f, 0.0f};
    for (int j = 0; j < cubeCount; ++j)
        for (int k = 0; k < 8; ++k)
            if (!vertices.Push(CubeCorner(origin, 7.5f, k))) return 0;

    // Every corner is in place: pointers into the vertex storage stay valid from here.
    for (int j = 0; j < cubeCount; ++j) {
        Vec3* cube = vertices.items + 8 * j;
        for (int f = 0; f < 6; ++f) {
            QuadFace face;
            face.strand = j > lastRedCube ? 1 : 0;
            face.corner0 = cube + kCubeFaceCorners[f][0];
            face.corner1 = cube + kCubeFaceCorners[f][1];
            face.corner2 = cube + kCubeFaceCorners[f][2];
            face.corner3 = cube + kCubeFaceCorners[f][3];
            UpdateQuadPlane(face);
            face.centre = face.corner0->Add(*face.corner1)
                              .Add(*face.corner2)
                              .Add(*face.corner3)
                              .Scale(0.25f);
            face.size = face.corner0->Sub(face.centre).Length();
            if (!faces.Push(face)) return 0;
        }
    }

    for (int i = 0; i < faces.count; ++i) {
        const DepthSortEntry<QuadFace> entry{&faces.items[i], Vec3{0.0f, 0.0f, 0.0f}, 0.0f};
        if (!sortEntries.Push(entry)) return 0;
    }
    return 1;
}

void DrawQuadFaces(const GrowArray<DepthSortEntry<QuadFace>>& sortEntries,
                   const float (*strandColours)[3]) {
    int colouredStrand = -1;
    glBegin(GL_QUADS);
    for (int i = 0; i < sortEntries.count; ++i) {
        const QuadFace* face = sortEntries.items[i].face;
        if (strandColours != nullptr && face->strand != colouredStrand) {
            colouredStrand = face->strand;
            const float* c = strandColours[colouredStrand == 1 ? 1 : 0];
            glColor3f(c[0], c[1], c[2]);
        }
        glNormal3f(face->normal.x, face->normal.y, face->normal.z);
        glVertex3f(face->corner3->x, face->corner3->y, face->corner3->z);
        glVertex3f(face->corner2->x, face->corner2->y, face->corner2->z);
        glVertex3f(face->corner1->x, face->corner1->y, face->corner1->z);
        glVertex3f(face->corner0->x, face->corner0->y, face->corner0->z);
    }
    glEnd();
}
