// Meshes: a list of animation frames of packed vertices sharing one colour
// table and one set of texture coordinates. MeshObject holds the data and
// packs entered vertices; MeshObjectX adds what drawing needs (triangle
// lists, the display list and the stream buffer).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx3d/poly_node.h"

struct POLY_FRAME {
    std::vector<POLY_NODE> raw;          // vertices as entered, emptied by Compress
    std::vector<POLY_NODE> triangles;    // the frame as a plain triangle list
    std::vector<PACKED_NODE> nodes;      // packed vertices, markers included, in entry order
    float offset[3] = {0, 0, 0};   // quantisation offset per axis
    float scale[3] = {0, 0, 0};    // quantisation step per axis
    float maxRadius = 0;           // largest distance of a node from the origin
};

// The most colour-table entries a packed vertex can address.
constexpr int kMaxColourEntries = 256;

class MeshObject {
public:
    // Empties every list of the mesh and of its frames and removes the
    // frames; freeMemory also releases the storage.
    void Clear(bool freeMemory);
    // Packs the raw vertices of every frame into nodes. False when the
    // colours need more table entries than a node can address; the mesh is
    // then unusable and the caller clears it.
    bool Compress();
    // Writes the object file; false when the file cannot be created.
    bool Save(const char* file) const;
    // Reads an object file into the (cleared) mesh; false, with the mesh
    // left empty, when the file is missing or not a well-formed object file.
    bool Load(const char* file);

    // Node i of frame f as a full vertex (uv with the drawn -v).
    POLY_NODE UnpackNode(const POLY_FRAME& frame, std::int32_t i) const;
    bool HasNodes() const { return !frames.empty() && !frames[0].nodes.empty(); }

    std::vector<POLY_FRAME> frames;
    std::vector<POLY_NODE> vertices;       // drawing list: the triangles of the frame last drawn
    std::vector<float> texU;               // u per node index
    std::vector<float> texV;               // v per node index, as stored (drawn as -v)
    std::vector<std::uint32_t> colours;    // colour table, markers included, each value once
    std::int32_t normalsDone = 0;    // normals generated or loaded
};

class MeshObjectX : public MeshObject {
public:
    // MeshObject::Clear, then releases the buffer object and display list.
    void Clear(bool freeMemory);
    // maxRadius of every frame.
    void CalcMaxRadius();
    // Unpacks every frame into a triangle list; vertices becomes frame 0's.
    void PrepareTriangles();
    // Generates smooth vertex normals (normals) and tangents and binormals
    // (tangents) from the faces of every frame, once: normals only while
    // normalsDone is 0, tangents only while frame 0 has none. Ends with
    // PrepareTriangles when anything was generated.
    void AutoNormalsAfterCompression(bool normals, bool tangents);

    std::uint32_t streamBuffer = 0;  // OpenGL buffer object, 0 = none
    std::int32_t hasColours = 0;     // a colour other than white is in the table
    std::uint32_t displayList = 0;   // OpenGL display list of frame 0, 0 = none
};
