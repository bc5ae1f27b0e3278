// Meshes: a list of animation frames of packed vertices sharing one colour
// table and one set of texture coordinates. MeshObject holds the data and
// packs entered vertices; MeshObjectX adds what drawing needs (triangle
// lists, the display list and the stream buffer).
#pragma once

#include <cstdint>

#include "gfx3d/poly_node.h"
#include "gfx3d/queue.h"

struct POLY_FRAME {
    Queue<POLY_NODE> raw;          // vertices as entered, emptied by Compress
    Queue<POLY_NODE> triangles;    // the frame as a plain triangle list
    Queue<PACKED_NODE> nodes;      // packed vertices, markers included, in entry order
    float offset[3] = {0, 0, 0};   // quantisation offset per axis
    float scale[3] = {0, 0, 0};    // quantisation step per axis
    float maxRadius = 0;           // largest distance of a node from the origin
};

// The most colour-table entries a packed vertex can address.
constexpr int kMaxColourEntries = 256;

class MeshObject {
public:
    // Empties every queue of the mesh and of its frames and removes the
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
    bool HasNodes() const { return frames.Count() > 0 && frames[0].nodes.Count() > 0; }

    Queue<POLY_FRAME> frames;
    Queue<POLY_NODE> vertices;       // drawing list: the triangles of the frame last drawn
    Queue<float> texU;               // u per node index
    Queue<float> texV;               // v per node index, as stored (drawn as -v)
    Queue<std::uint32_t> colours;    // colour table, markers included, each value once
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
