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
        if (mesh.frames.Count() != 0 || mesh.colours.Count() != 0 || why.empty()) std::abort();
        return 0;
    }
    mesh.CalcMaxRadius();
    mesh.PrepareTriangles();
    for (std::int32_t f = 1; f < mesh.frames.Count(); ++f)
        if (mesh.frames[f].triangles.Count() != mesh.frames[0].triangles.Count()) std::abort();
    // What was read encodes to the bytes it came from (trailing bytes aside).
    const std::vector<std::uint8_t> again = EncodeObjectFile(mesh);
    if (again.size() > size) std::abort();
    for (std::size_t i = 0; i < again.size(); ++i)
        if (again[i] != data[i]) std::abort();
    return 0;
}
