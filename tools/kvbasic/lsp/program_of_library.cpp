#include "program_of_library.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

namespace kvlsp {

namespace {

namespace fs = std::filesystem;

// Bounds of the search: it runs on every analysis of a library nobody has
// open a program of, so it looks at few, small files.
constexpr int kFoldersUp = 2;
constexpr std::size_t kFilesPerFolder = 200;
constexpr std::uintmax_t kLargestProgram = 4u << 20;
constexpr int kLibraryDepth = 4;  // a library of a library of ...

std::vector<std::string> BasFilesIn(const fs::path& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) return files;
    for (const fs::directory_entry& entry : entries) {
        std::error_code ignored;
        if (files.size() >= kFilesPerFolder) break;
        const fs::path& file = entry.path();
        std::string extension = file.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension != ".bas" || !entry.is_regular_file(ignored)) continue;
        if (entry.file_size(ignored) > kLargestProgram) continue;
        files.push_back(file.lexically_normal().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The program among the folders around `path` that INCLUDEs it; "".
std::string IncluderOf(const std::string& path, const kvbasic::SourceReader& reader, const std::set<std::string>& seen)
{
    fs::path folder = fs::path(path).parent_path();
    for (int up = 0; up <= kFoldersUp && !folder.empty(); ++up) {
        for (const std::string& candidate : BasFilesIn(folder)) {
            if (seen.count(candidate)) continue;
            std::string text, problem;
            if (reader(candidate, text, problem) && text.find(fs::path(path).filename().string()) != std::string::npos &&
                Includes(text, candidate, path))
                return candidate;
        }
        if (folder == folder.root_path()) break;
        folder = folder.parent_path();
    }
    return "";
}

}  // namespace

bool Includes(const std::string& text, const std::string& from, const std::string& path)
{
    const std::string wanted = fs::path(path).lexically_normal().string();
    const fs::path folder = fs::path(from).parent_path();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        const std::size_t word = line.find_first_not_of(" \t");
        if (word == std::string_view::npos || line.size() - word < 8) continue;
        std::string keyword(line.substr(word, 7));
        for (char& c : keyword) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (keyword != "INCLUDE" || (line[word + 7] != ' ' && line[word + 7] != '\t' && line[word + 7] != '"')) continue;
        const std::size_t open = line.find('"', word + 7);
        const std::size_t close = open == std::string_view::npos ? open : line.find('"', open + 1);
        if (close == std::string_view::npos) continue;
        const fs::path named(std::string(line.substr(open + 1, close - open - 1)));
        if ((folder / named).lexically_normal().string() == wanted) return true;
    }
    return false;
}

std::string ProgramIncludingOnDisk(const std::string& path, const kvbasic::SourceReader& reader)
{
    std::set<std::string> seen{fs::path(path).lexically_normal().string()};
    std::string program;
    std::string library = path;
    for (int depth = 0; depth < kLibraryDepth; ++depth) {
        const std::string includer = IncluderOf(library, reader, seen);
        if (includer.empty()) break;
        program = includer;
        seen.insert(includer);
        library = includer;
    }
    return program;
}

}  // namespace kvlsp
