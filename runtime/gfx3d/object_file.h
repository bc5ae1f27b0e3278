// The object file: a mesh's colour table, texture coordinates and packed
// frames, little-endian, without padding.
//
//   0   uint32  magic 0x00C6B317
//   4   float64 version 1.02
//   12  int32   F frames, int32 C colours, int32 T texture-coordinate pairs
//   24  C x uint32 colour table, then T x (float32 u, float32 v)
//   then F frame records: int32 N, 3 x float32 offset, 3 x float32 scale,
//        N x (uint8 x, y, z, normal index, colour index)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MeshObject;

constexpr std::uint32_t kObjectFileMagic = 0x00C6B317u;
constexpr double kObjectFileVersion = 1.02;

// The file image of a mesh.
std::vector<std::uint8_t> EncodeObjectFile(const MeshObject& mesh);

// Reads a file image into an empty mesh. The whole image is checked before
// the mesh is touched: on false the mesh is unchanged and why says what is
// wrong with the bytes.
bool DecodeObjectFile(const std::uint8_t* bytes, std::size_t size, MeshObject& mesh, std::string& why);
