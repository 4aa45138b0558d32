// A sine read from a table: the mixer computes a few dozen partials per sample, and a
// table with linear interpolation is far cheaper than sinf and still well below the
// 16-bit noise floor (its error is under 1e-6 of full scale).
#pragma once

// sin(2 pi phase) for phase in [0, 1).
float TableSine(float phase);
