// Writing and reading object files. The bytes come from outside the
// program, so the reader checks every count against what is left and every
// index against its table before it builds anything.
#include "gfx3d/object_file.h"

#include <cstdio>
#include <cstring>

#include "gfx3d/mesh_object.h"
#include "gfx3d/vertex_normals.h"

namespace {

constexpr std::size_t kHeaderBytes = 24;
constexpr std::size_t kFrameHeaderBytes = 28;
constexpr std::size_t kNodeBytes = 5;

class ByteWriter {
public:
    void U8(std::uint8_t value) { m_bytes.push_back(value); }
    void U32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        U32(bits);
    }
    void F64(double value)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, 8);
        U32(static_cast<std::uint32_t>(bits));
        U32(static_cast<std::uint32_t>(bits >> 32));
    }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Reads little-endian values; never past the end (a short read marks the
// reader failed and yields zeros).
class ByteReader {
public:
    ByteReader(const std::uint8_t* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}

    std::size_t Left() const { return m_size - m_at; }
    bool Failed() const { return m_failed; }
    std::size_t Position() const { return m_at; }
    void Seek(std::size_t at) { m_at = at <= m_size ? at : m_size; }

    std::uint8_t U8()
    {
        if (Left() < 1) {
            m_failed = true;
            return 0;
        }
        return m_bytes[m_at++];
    }
    std::uint32_t U32()
    {
        if (Left() < 4) {
            m_failed = true;
            m_at = m_size;
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | m_bytes[m_at + i];
        m_at += 4;
        return value;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    float F32()
    {
        const std::uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    double F64()
    {
        const std::uint64_t low = U32();
        const std::uint64_t high = U32();
        const std::uint64_t bits = low | (high << 32);
        double value;
        std::memcpy(&value, &bits, 8);
        return value;
    }

private:
    const std::uint8_t* m_bytes;
    std::size_t m_size;
    std::size_t m_at = 0;
    bool m_failed = false;
};

struct Header {
    std::int32_t frames = 0;
    std::int32_t colours = 0;
    std::int32_t texCoords = 0;
};

// Counts that fit in what is left of the image, and indices that address
// their tables. Frames must match frame 0 node for node in length and in
// where their groups start, so every frame unpacks to as many triangles.
bool CheckImage(ByteReader in, Header& header, std::string& why)
{
    if (in.Left() < kHeaderBytes) {
        why = "shorter than the object file header";
        return false;
    }
    if (in.U32() != kObjectFileMagic) {
        why = "not an object file (wrong magic number)";
        return false;
    }
    if (in.F64() != kObjectFileVersion) {
        why = "object file version is not 1.02";
        return false;
    }
    header.frames = in.I32();
    header.colours = in.I32();
    header.texCoords = in.I32();
    if (header.frames < 0 || header.colours < 0 || header.texCoords < 0) {
        why = "negative count in the header";
        return false;
    }
    if (std::uint64_t{4} * static_cast<std::uint32_t>(header.colours) > in.Left()) {
        why = "colour table runs past the end of the file";
        return false;
    }
    std::vector<std::uint32_t> colours(static_cast<std::size_t>(header.colours));
    for (std::uint32_t& colour : colours) colour = in.U32();
    if (std::uint64_t{8} * static_cast<std::uint32_t>(header.texCoords) > in.Left()) {
        why = "texture coordinates run past the end of the file";
        return false;
    }
    in.Seek(in.Position() + 8 * static_cast<std::size_t>(header.texCoords));

    std::vector<std::uint32_t> frame0Markers;  // per node of frame 0: its marker, or 0
    for (std::int32_t f = 0; f < header.frames; ++f) {
        if (in.Left() < kFrameHeaderBytes) {
            why = "frame " + std::to_string(f) + " runs past the end of the file";
            return false;
        }
        const std::int32_t nodes = in.I32();
        in.Seek(in.Position() + 24);
        if (nodes < 0 || kNodeBytes * static_cast<std::uint64_t>(static_cast<std::uint32_t>(nodes)) > in.Left()) {
            why = "nodes of frame " + std::to_string(f) + " run past the end of the file";
            return false;
        }
        if (f == 0 && nodes > header.texCoords) {
            why = "fewer texture coordinates than nodes";
            return false;
        }
        if (f > 0 && static_cast<std::size_t>(nodes) != frame0Markers.size()) {
            why = "frame " + std::to_string(f) + " has another node count than frame 0";
            return false;
        }
        for (std::int32_t i = 0; i < nodes; ++i) {
            in.U8();
            in.U8();
            in.U8();
            const std::uint8_t normal = in.U8();
            const std::uint8_t colourIndex = in.U8();
            if (normal >= kVertexNormalCount) {
                why = "normal index past the table of unit normals";
                return false;
            }
            if (colourIndex >= colours.size()) {
                why = "colour index past the colour table";
                return false;
            }
            const std::uint32_t colour = colours[colourIndex];
            const std::uint32_t marker = IsGroupMarker(colour) ? colour : 0;
            if (f == 0) {
                frame0Markers.push_back(marker);
            } else if (marker != frame0Markers[static_cast<std::size_t>(i)]) {
                why = "frame " + std::to_string(f) + " groups its nodes unlike frame 0";
                return false;
            }
        }
    }
    return !in.Failed();
}

}  // namespace

std::vector<std::uint8_t> EncodeObjectFile(const MeshObject& mesh)
{
    ByteWriter out;
    out.U32(kObjectFileMagic);
    out.F64(kObjectFileVersion);
    out.I32(mesh.frames.Count());
    out.I32(mesh.colours.Count());
    out.I32(mesh.texU.Count());
    for (std::int32_t i = 0; i < mesh.colours.Count(); ++i) out.U32(mesh.colours[i]);
    for (std::int32_t i = 0; i < mesh.texU.Count(); ++i) {
        out.F32(mesh.texU[i]);
        out.F32(i < mesh.texV.Count() ? mesh.texV[i] : 0.0f);
    }
    for (std::int32_t f = 0; f < mesh.frames.Count(); ++f) {
        const POLY_FRAME& frame = mesh.frames[f];
        out.I32(frame.nodes.Count());
        for (float value : frame.offset) out.F32(value);
        for (float value : frame.scale) out.F32(value);
        for (std::int32_t i = 0; i < frame.nodes.Count(); ++i) {
            const PACKED_NODE& node = frame.nodes[i];
            out.U8(node.x);
            out.U8(node.y);
            out.U8(node.z);
            out.U8(node.normal);
            out.U8(node.colour);
        }
    }
    return std::move(out.Bytes());
}

bool DecodeObjectFile(const std::uint8_t* bytes, std::size_t size, MeshObject& mesh, std::string& why)
{
    Header header;
    if (!CheckImage(ByteReader(bytes, size), header, why)) return false;

    ByteReader in(bytes, size);
    in.Seek(kHeaderBytes);
    bool stored = mesh.colours.Reserve(header.colours) && mesh.texU.Reserve(header.texCoords) &&
                  mesh.texV.Reserve(header.texCoords) && mesh.frames.Reserve(header.frames);
    for (std::int32_t i = 0; stored && i < header.colours; ++i) mesh.colours.Add(in.U32());
    for (std::int32_t i = 0; stored && i < header.texCoords; ++i) {
        mesh.texU.Add(in.F32());
        mesh.texV.Add(in.F32());
    }
    for (std::int32_t f = 0; stored && f < header.frames; ++f) {
        POLY_FRAME frame;
        const std::int32_t nodes = in.I32();
        for (float& value : frame.offset) value = in.F32();
        for (float& value : frame.scale) value = in.F32();
        stored = frame.nodes.Reserve(nodes);
        for (std::int32_t i = 0; stored && i < nodes; ++i) {
            PACKED_NODE node{};
            node.x = in.U8();
            node.y = in.U8();
            node.z = in.U8();
            node.normal = in.U8();
            node.colour = in.U8();
            frame.nodes.Add(node);
        }
        stored = stored && mesh.frames.Add(std::move(frame));
    }
    if (!stored) {
        mesh.Clear(true);
        why = "not enough memory for the object";
        return false;
    }
    mesh.normalsDone = 1;
    return true;
}

bool MeshObject::Save(const char* file) const
{
    std::FILE* out = std::fopen(file, "wb");
    if (out == nullptr) return false;
    const std::vector<std::uint8_t> image = EncodeObjectFile(*this);
    std::fwrite(image.data(), 1, image.size(), out);
    std::fclose(out);
    return true;
}

bool MeshObject::Load(const char* file)
{
    Clear(true);
    std::FILE* in = std::fopen(file, "rb");
    if (in == nullptr) return false;
    std::vector<std::uint8_t> image;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) image.insert(image.end(), chunk, chunk + got);
    const bool readError = std::ferror(in) != 0;
    std::fclose(in);
    std::string why = "read error";
    if (readError || !DecodeObjectFile(image.data(), image.size(), *this, why)) {
        std::fprintf(stderr, "Object file \"%s\" refused: %s\n", file, why.c_str());
        return false;
    }
    return true;
}
