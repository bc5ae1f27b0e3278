// libFuzzer harness for the media archive reader: the directory walk and
// member extraction of TzShoeBox::Extract, and TzCompression::UnPack.
//
// Input: one byte n (taken modulo 32), then n bytes of requested name, then
// the archive file itself. The archive bytes are also unpacked as a block.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/shoebox.h"
#include "files/tz_compression.h"

namespace {

// The archive goes into a folder of this run's own, which is also the
// temporary folder: damaged archives are reported in an error log there,
// not in the shared one.
const std::string& ArchivePath()
{
    static const std::string path = [] {
        std::string pattern = "/tmp/kvfuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        setenv("TMPDIR", pattern.c_str(), 1);
        static std::string folder = pattern;
        std::atexit([] {
            std::remove((folder + "/fuzz.box").c_str());
            std::remove((folder + "/ErrorLog.txt").c_str());
            std::remove(folder.c_str());
        });
        return pattern + "/fuzz.box";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ArchivePath();  // sets the temporary folder before the runtime first looks at it
    if (size == 0) return 0;
    std::size_t nameLength = data[0] % 32;
    if (size < 1 + nameLength) return 0;
    std::string request(reinterpret_cast<const char*>(data + 1), nameLength);
    if (request.find('\0') != std::string::npos) return 0;
    const std::uint8_t* archive = data + 1 + nameLength;
    std::size_t archiveSize = size - 1 - nameLength;

    TzCompression unpacker;
    unpacker.SetMode(TzCompression::kModeLzo);
    int unpacked = unpacker.UnPack(archive, archiveSize);
    if (unpacked != (unpacker.Complete() ? unpacker.OutputLength() : 0)) std::abort();

    std::FILE* file = std::fopen(ArchivePath().c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(archive, 1, archiveSize, file);
    std::fclose(file);

    // A request that names a file on disk would bypass the archive.
    KvStr name = ("fuzz-request:" + request).c_str();
    TzShoeBox box;
    box.SetArchive(ArchivePath().c_str());
    if (box.Extract(name) && std::string(name.GetStrData()) != box.tempFile) std::abort();
    return 0;
}
