#include "audio/sine_table.h"

#include <cmath>

namespace {

const int kSize = 4096;

struct Table {
    float v[kSize + 1];
    Table() {
        for (int i = 0; i <= kSize; ++i) v[i] = (float)std::sin(6.283185307179586 * i / kSize);
    }
};

const Table& TheTable() {
    static const Table table;
    return table;
}

}  // namespace

float TableSine(float phase) {
    const float x = phase * (float)kSize;
    int i = (int)x;
    if (i < 0) i = 0;
    if (i >= kSize) i = kSize - 1;
    const float f = x - (float)i;
    const float* v = TheTable().v;
    return v[i] + (v[i + 1] - v[i]) * f;
}
