// The fixed table of unit normals that packed vertices index.
#pragma once

constexpr int kVertexNormalCount = 162;

extern const float gAvertexnormals[kVertexNormalCount][3];

// Index of the table entry nearest to vector, normalised first unless its
// length is 0.
int NearestVertexNormal(const float vector[3]);
