// The object file: its bytes, a round trip, and the reader's refusals of
// files that do not hold what they claim.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "gfx3d/mesh_object.h"
#include "gfx3d/object_file.h"
#include "support/child_process.h"

namespace {

using testing_support::ScratchFolder;
using Bytes = std::vector<std::uint8_t>;

// Writes object files by hand, field by field, so a test can put any
// number anywhere.
class ImageBuilder {
public:
    ImageBuilder& U8(std::uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    ImageBuilder& U32(std::uint32_t v)
    {
        for (int s = 0; s < 32; s += 8) bytes.push_back(static_cast<std::uint8_t>(v >> s));
        return *this;
    }
    ImageBuilder& F32(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    ImageBuilder& F64(double v)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        U32(static_cast<std::uint32_t>(bits));
        return U32(static_cast<std::uint32_t>(bits >> 32));
    }
    ImageBuilder& Header(std::int32_t frames, std::int32_t colours, std::int32_t texCoords, double version = 1.02)
    {
        U32(0x00C6B317);
        F64(version);
        U32(static_cast<std::uint32_t>(frames));
        U32(static_cast<std::uint32_t>(colours));
        return U32(static_cast<std::uint32_t>(texCoords));
    }
    ImageBuilder& FrameHeader(std::int32_t nodes)
    {
        U32(static_cast<std::uint32_t>(nodes));
        for (int i = 0; i < 3; ++i) F32(0);
        for (int i = 0; i < 3; ++i) F32(1);
        return *this;
    }
    ImageBuilder& Node(std::uint8_t x, std::uint8_t normal, std::uint8_t colour)
    {
        return U8(x).U8(x).U8(x).U8(normal).U8(colour);
    }
    Bytes bytes;
};

// Two frames of a strip of three vertices: colours strip marker and red.
Bytes TwoFrameStrip()
{
    ImageBuilder b;
    b.Header(2, 2, 4).U32(0xFFFFFFFE).U32(0x0000FF);
    for (int i = 0; i < 4; ++i) b.F32(0.25f * i).F32(0.5f);
    for (int f = 0; f < 2; ++f) {
        b.FrameHeader(4).Node(0, 0, 0);
        b.Node(static_cast<std::uint8_t>(10 + f), 5, 1).Node(20, 6, 1).Node(30, 161, 1);
    }
    return b.bytes;
}

bool Decode(const Bytes& bytes, MeshObject& mesh, std::string* whyOut = nullptr)
{
    std::string why;
    const bool ok = DecodeObjectFile(bytes.data(), bytes.size(), mesh, why);
    if (whyOut != nullptr) *whyOut = why;
    if (!ok) {
        EXPECT_FALSE(why.empty());
    }
    return ok;
}

TEST(ObjectFile, AWellFormedImageIsReadFieldByField)
{
    MeshObject mesh;
    ASSERT_TRUE(Decode(TwoFrameStrip(), mesh));
    EXPECT_EQ(mesh.frames.Count(), 2);
    ASSERT_EQ(mesh.colours.Count(), 2);
    EXPECT_EQ(mesh.colours[0], 0xFFFFFFFEu);
    EXPECT_EQ(mesh.colours[1], 0x0000FFu);
    ASSERT_EQ(mesh.texU.Count(), 4);
    EXPECT_EQ(mesh.texU[3], 0.75f);
    EXPECT_EQ(mesh.texV[3], 0.5f);
    const PACKED_NODE& node = mesh.frames[1].nodes[1];
    EXPECT_EQ(node.x, 11);
    EXPECT_EQ(node.normal, 5);
    EXPECT_EQ(node.colour, 1);
    EXPECT_EQ(node.tangent, 0);
    EXPECT_EQ(node.binormal, 0);
    EXPECT_EQ(mesh.frames[0].scale[2], 1.0f);
    EXPECT_EQ(mesh.normalsDone, 1);
}

TEST(ObjectFile, EncodingWhatWasDecodedGivesTheSameBytes)
{
    MeshObject mesh;
    ASSERT_TRUE(Decode(TwoFrameStrip(), mesh));
    EXPECT_EQ(EncodeObjectFile(mesh), TwoFrameStrip());
}

TEST(ObjectFile, SaveAndLoadThroughAFileKeepEveryPackedByte)
{
    ScratchFolder folder;
    MeshObject mesh;
    ASSERT_TRUE(Decode(TwoFrameStrip(), mesh));
    const std::string path = folder.File("strip.obj");
    ASSERT_TRUE(mesh.Save(path.c_str()));
    const std::string written = testing_support::ReadWholeFile(path);
    EXPECT_EQ(Bytes(written.begin(), written.end()), TwoFrameStrip());

    MeshObject loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    ASSERT_EQ(loaded.frames.Count(), 2);
    for (int f = 0; f < 2; ++f)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(std::memcmp(&loaded.frames[f].nodes[i], &mesh.frames[f].nodes[i], sizeof(PACKED_NODE)), 0);
    EXPECT_FALSE(mesh.Save((folder.Path() + "/no-such-folder/x.obj").c_str()));
}

TEST(ObjectFile, AMissingFileFailsAndLeavesTheMeshEmpty)
{
    MeshObject mesh;
    ASSERT_TRUE(Decode(TwoFrameStrip(), mesh));
    EXPECT_FALSE(mesh.Load("/nonexistent/mesh.obj"));
    EXPECT_EQ(mesh.frames.Count(), 0);
    EXPECT_EQ(mesh.colours.Count(), 0);
}

TEST(ObjectFile, OtherVersionsAndMagicNumbersAreRefused)
{
    for (double version : {1.03, 1.0, 1.0200000000000002}) {
        ImageBuilder b;
        b.Header(0, 0, 0, version);
        MeshObject mesh;
        EXPECT_FALSE(Decode(b.bytes, mesh)) << version;
        EXPECT_EQ(mesh.frames.Count(), 0);
    }
    Bytes wrongMagic = TwoFrameStrip();
    wrongMagic[3] = 1;
    MeshObject mesh;
    EXPECT_FALSE(Decode(wrongMagic, mesh));
}

TEST(ObjectFile, NoFramesIsAValidEmptyObject)
{
    ImageBuilder b;
    b.Header(0, 0, 0);
    MeshObject mesh;
    EXPECT_TRUE(Decode(b.bytes, mesh));
    EXPECT_FALSE(mesh.HasNodes());
}

TEST(ObjectFileBadInput, EveryTruncationIsRefusedWithoutTouchingTheMesh)
{
    const Bytes whole = TwoFrameStrip();
    for (std::size_t size = 0; size < whole.size(); ++size) {
        MeshObject mesh;
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(Decode(cut, mesh)) << size;
        EXPECT_EQ(mesh.frames.Count(), 0);
        EXPECT_EQ(mesh.colours.Count(), 0);
        EXPECT_EQ(mesh.texU.Count(), 0);
    }
}

TEST(ObjectFileBadInput, CountsRunningPastTheEndAreRefused)
{
    struct Case {
        std::int32_t frames, colours, texCoords;
    };
    for (Case c : {Case{1, 0x7FFFFFFF, 0}, Case{1, 1, 0x7FFFFFFF}, Case{0x7FFFFFFF, 1, 1}, Case{-1, 1, 1},
                   Case{1, -5, 1}, Case{1, 1, -1}}) {
        ImageBuilder b;
        b.Header(c.frames, c.colours, c.texCoords).U32(0xFFFFFFFF).F32(0).F32(0);
        b.FrameHeader(1).Node(0, 0, 0);
        MeshObject mesh;
        EXPECT_FALSE(Decode(b.bytes, mesh)) << c.frames << " " << c.colours << " " << c.texCoords;
    }
    for (std::int32_t nodes : {2, -1, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000000)}) {
        ImageBuilder b;
        b.Header(1, 1, 1).U32(0xFFFFFFFF).F32(0).F32(0);
        b.FrameHeader(nodes).Node(0, 0, 0);
        MeshObject mesh;
        EXPECT_FALSE(Decode(b.bytes, mesh)) << nodes;
    }
}

TEST(ObjectFileBadInput, IndicesPastTheirTablesAreRefused)
{
    std::string why;
    {
        Bytes image = TwoFrameStrip();
        image[image.size() - 1] = 2;  // colour index of the last node: the table has 2
        MeshObject mesh;
        EXPECT_FALSE(Decode(image, mesh, &why));
        EXPECT_NE(why.find("colour"), std::string::npos);
    }
    {
        Bytes image = TwoFrameStrip();
        image[image.size() - 2] = 162;  // normal index: the table has 162
        MeshObject mesh;
        EXPECT_FALSE(Decode(image, mesh, &why));
        EXPECT_NE(why.find("normal"), std::string::npos);
    }
}

TEST(ObjectFileBadInput, FramesMustMatchFrameZero)
{
    {
        ImageBuilder b;  // frame 1 has one node fewer
        b.Header(2, 2, 3).U32(0xFFFFFFFE).U32(0xFF);
        for (int i = 0; i < 3; ++i) b.F32(0).F32(0);
        b.FrameHeader(3).Node(0, 0, 0).Node(1, 0, 1).Node(2, 0, 1);
        b.FrameHeader(2).Node(0, 0, 0).Node(1, 0, 1);
        MeshObject mesh;
        EXPECT_FALSE(Decode(b.bytes, mesh));
        EXPECT_EQ(mesh.frames.Count(), 0);
    }
    {
        ImageBuilder b;  // frame 1 starts its group one node later
        b.Header(2, 2, 3).U32(0xFFFFFFFE).U32(0xFF);
        for (int i = 0; i < 3; ++i) b.F32(0).F32(0);
        b.FrameHeader(3).Node(0, 0, 0).Node(1, 0, 1).Node(2, 0, 1);
        b.FrameHeader(3).Node(0, 0, 1).Node(1, 0, 0).Node(2, 0, 1);
        MeshObject mesh;
        EXPECT_FALSE(Decode(b.bytes, mesh));
    }
    {
        ImageBuilder b;  // same places, another kind of group
        b.Header(2, 3, 3).U32(0xFFFFFFFE).U32(0xFF).U32(0xFFFFFFFD);
        for (int i = 0; i < 3; ++i) b.F32(0).F32(0);
        b.FrameHeader(3).Node(0, 0, 0).Node(1, 0, 1).Node(2, 0, 1);
        b.FrameHeader(3).Node(0, 0, 2).Node(1, 0, 1).Node(2, 0, 1);
        MeshObject mesh;
        EXPECT_FALSE(Decode(b.bytes, mesh));
    }
}

TEST(ObjectFileBadInput, FewerTextureCoordinatesThanNodesAreRefused)
{
    ImageBuilder b;
    b.Header(1, 1, 1).U32(0xFF).F32(0).F32(0);
    b.FrameHeader(2).Node(0, 0, 0).Node(1, 0, 0);
    MeshObject mesh;
    EXPECT_FALSE(Decode(b.bytes, mesh));
}

TEST(ObjectFileBadInput, ARefusedFileLeavesALoadedMeshEmpty)
{
    ScratchFolder folder;
    Bytes image = TwoFrameStrip();
    image.resize(image.size() - 1);
    const std::string path = folder.File("cut.obj");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                static_cast<std::streamsize>(image.size()));
    MeshObject mesh;
    ASSERT_TRUE(Decode(TwoFrameStrip(), mesh));
    EXPECT_FALSE(mesh.Load(path.c_str()));
    EXPECT_EQ(mesh.frames.Count(), 0);
    EXPECT_EQ(mesh.texU.Count(), 0);
}

}  // namespace
