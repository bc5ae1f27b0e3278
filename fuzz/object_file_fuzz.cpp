// Fuzz target: the object file reader. Whatever the bytes, decoding must
// either refuse them or produce a mesh whose every index is in range, and
// that mesh must unpack into triangles and encode back without faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gfx3d/mesh_object.h"
#include "gfx3d/object_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MeshObjectX mesh;
    std::string why;
    if (!DecodeObjectFile(data, size, mesh, why)) {
        if (!mesh.frames.empty() || !mesh.colours.empty() || why.empty()) std::abort();
        return 0;
    }
    mesh.CalcMaxRadius();
    mesh.PrepareTriangles();
    for (std::int32_t f = 1; f < std::ssize(mesh.frames); ++f)
        if (std::ssize(mesh.frames[f].triangles) != std::ssize(mesh.frames[0].triangles)) std::abort();
    // What was read encodes to the bytes it came from (trailing bytes aside).
    const std::vector<std::uint8_t> again = EncodeObjectFile(mesh);
    if (again.size() > size) std::abort();
    for (std::size_t i = 0; i < again.size(); ++i)
        if (again[i] != data[i]) std::abort();
    return 0;
}
