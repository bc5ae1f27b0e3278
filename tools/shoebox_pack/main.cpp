// shoebox_pack: builds, lists and unpacks packed media archives.
//
//   shoebox_pack create ARCHIVE MEMBER...
//       writes a standalone archive (offsets from the start of the file)
//   shoebox_pack append [-o OUTPUT] PROGRAM MEMBER...
//       appends an archive to PROGRAM, or to a copy of it named OUTPUT, with
//       offsets from the end of the file, so the program finds its media in
//       itself whatever its own size
//   shoebox_pack list ARCHIVE
//   shoebox_pack extract ARCHIVE FOLDER [NAME...]
//       unpacks every member, or the named ones, into FOLDER
//
// A MEMBER is FILE (stored under its file name) or NAME=FILE.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive_writer.h"
#include "files/shoebox_archive.h"
#include "files/tz_compression.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Usage()
{
    std::fputs("usage: shoebox_pack create ARCHIVE MEMBER...\n"
               "       shoebox_pack append [-o OUTPUT] PROGRAM MEMBER...\n"
               "       shoebox_pack list ARCHIVE\n"
               "       shoebox_pack extract ARCHIVE FOLDER [NAME...]\n"
               "A MEMBER is FILE (stored under its file name) or NAME=FILE.\n",
               stderr);
    return kUsage;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Packs every MEMBER argument; false after telling which one failed.
bool AddMembers(ShoeBoxWriter& writer, char** arguments, int count)
{
    for (int i = 0; i < count; ++i) {
        std::string argument = arguments[i];
        std::string name, path;
        std::size_t equals = argument.find('=');
        if (equals != std::string::npos && equals > 0) {
            name = argument.substr(0, equals);
            path = argument.substr(equals + 1);
        } else {
            path = argument;
            name = fs::path(path).filename().string();
        }
        std::vector<unsigned char> bytes;
        if (!ReadWholeFile(path, bytes)) {
            std::fprintf(stderr, "shoebox_pack: cannot read %s\n", path.c_str());
            return false;
        }
        if (!writer.Add(name, bytes)) {
            std::fprintf(stderr, "shoebox_pack: %s\n", writer.why().c_str());
            return false;
        }
    }
    return true;
}

int Create(char** arguments, int count)
{
    if (count < 1) return Usage();
    ShoeBoxWriter writer;
    if (!AddMembers(writer, arguments + 1, count - 1)) return kFailed;
    std::FILE* file = std::fopen(arguments[0], "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "shoebox_pack: cannot create %s\n", arguments[0]);
        return kFailed;
    }
    bool written = writer.WriteTo(file, 0, false);
    if (std::fclose(file) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "shoebox_pack: %s: %s\n", arguments[0], writer.why().c_str());
        std::remove(arguments[0]);
        return kFailed;
    }
    return 0;
}

int Append(char** arguments, int count)
{
    std::string output;
    if (count >= 2 && std::strcmp(arguments[0], "-o") == 0) {
        output = arguments[1];
        arguments += 2;
        count -= 2;
    }
    if (count < 1) return Usage();
    std::string program = arguments[0];
    ShoeBoxWriter writer;
    if (!AddMembers(writer, arguments + 1, count - 1)) return kFailed;

    if (!output.empty()) {
        std::error_code error;
        fs::copy_file(program, output, fs::copy_options::overwrite_existing, error);
        if (error) {
            std::fprintf(stderr, "shoebox_pack: cannot copy %s to %s: %s\n", program.c_str(),
                         output.c_str(), error.message().c_str());
            return kFailed;
        }
        program = output;
    }
    std::error_code error;
    auto prefixSize = static_cast<long long>(fs::file_size(program, error));
    std::FILE* file = error ? nullptr : std::fopen(program.c_str(), "ab");
    if (file == nullptr) {
        std::fprintf(stderr, "shoebox_pack: cannot append to %s\n", program.c_str());
        return kFailed;
    }
    bool written = writer.WriteTo(file, prefixSize, true);
    if (std::fclose(file) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "shoebox_pack: %s: %s\n", program.c_str(), writer.why().c_str());
        fs::resize_file(program, static_cast<std::uintmax_t>(prefixSize), error);
        return kFailed;
    }
    return 0;
}

bool OpenArchive(ShoeBoxArchive& archive, const char* path)
{
    switch (archive.Open(path)) {
    case ShoeBoxArchive::OpenResult::Opened: return true;
    case ShoeBoxArchive::OpenResult::CannotOpen:
        std::fprintf(stderr, "shoebox_pack: cannot open %s\n", path);
        return false;
    case ShoeBoxArchive::OpenResult::NoDirectory:
        std::fprintf(stderr, "shoebox_pack: %s holds no archive\n", path);
        return false;
    }
    return false;
}

// The unpacked length announced by a member's block, or -1 when unreadable.
long long AnnouncedLength(ShoeBoxArchive& archive, const ShoeBoxEntry& entry)
{
    std::vector<unsigned char> block;
    if (!archive.ReadMember(entry, block) || block.size() < 4) return -1;
    return ReadLittleEndian32(block.data());
}

int List(char** arguments, int count)
{
    if (count != 1) return Usage();
    ShoeBoxArchive archive;
    if (!OpenArchive(archive, arguments[0])) return kFailed;
    std::printf("offsets from the %s; directory at byte %lld of %lld\n",
                archive.OffsetsFromEnd() ? "end" : "start", archive.DirectoryStart(),
                archive.FileSize());
    std::printf("%10s %10s %11s  %s\n", "unpacked", "packed", "offset", "name");
    ShoeBoxEntry entry;
    int status = 0;
    while (archive.NextEntry(entry)) {
        long long length = AnnouncedLength(archive, entry);
        if (length < 0) status = kFailed;
        std::printf("%10lld %10u %11d  %s%s\n", length, entry.packedSize, entry.offset, entry.name,
                    length < 0 ? "  (outside the file)" : "");
    }
    return status;
}

// A member name as one file name inside the target folder.
std::string SafeFileName(const char* name)
{
    std::string safe = name;
    for (char& c : safe)
        if (c == '/' || c == '\\') c = '_';
    if (safe == "." || safe == "..") safe = "_" + safe;
    return safe;
}

int Extract(char** arguments, int count)
{
    if (count < 2) return Usage();
    ShoeBoxArchive archive;
    if (!OpenArchive(archive, arguments[0])) return kFailed;
    fs::path folder = arguments[1];
    std::vector<std::string> wanted(arguments + 2, arguments + count);
    std::vector<bool> found(wanted.size(), false);

    int status = 0;
    ShoeBoxEntry entry;
    while (archive.NextEntry(entry)) {
        bool take = wanted.empty();
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i] == entry.name && !found[i]) {
                found[i] = true;
                take = true;
            }
        }
        if (!take) continue;
        std::vector<unsigned char> block;
        TzCompression unpacker;
        unpacker.SetMode(TzCompression::kModeLzo);
        if (!archive.ReadMember(entry, block) ||
            (unpacker.UnPack(block.data(), block.size()), !unpacker.Complete())) {
            std::fprintf(stderr, "shoebox_pack: member %s is damaged\n", entry.name);
            status = kFailed;
            continue;
        }
        fs::path target = folder / SafeFileName(entry.name);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(unpacker.Output()), unpacker.OutputLength());
        out.close();
        if (!out) {
            std::fprintf(stderr, "shoebox_pack: cannot write %s\n", target.c_str());
            status = kFailed;
        }
    }
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        if (!found[i]) {
            std::fprintf(stderr, "shoebox_pack: no member %s\n", wanted[i].c_str());
            status = kFailed;
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage();
    std::string command = argv[1];
    char** arguments = argv + 2;
    int count = argc - 2;
    if (command == "create") return Create(arguments, count);
    if (command == "append") return Append(arguments, count);
    if (command == "list") return List(arguments, count);
    if (command == "extract") return Extract(arguments, count);
    return Usage();
}
