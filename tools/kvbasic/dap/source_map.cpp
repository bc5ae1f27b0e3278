#include "source_map.h"

#include <filesystem>

#include "include_files.h"

namespace kvdap {

namespace fs = std::filesystem;

std::string NormalisedPath(const std::string& path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) return path;
    const fs::path canonical = fs::weakly_canonical(absolute, error);
    return (error ? absolute.lexically_normal() : canonical).string();
}

SourceMap::SourceMap(const std::string& mainPath)
{
    std::string text, problem;
    const std::string main = NormalisedPath(mainPath);
    if (!kvbasic::ReadSourceFile(main, text, problem)) return;
    kvbasic::Diagnostics diagnostics;
    const kvbasic::Program program =
        kvbasic::ParseProgram(text, fs::path(main).filename().string(), main, kvbasic::ReadSourceFile, diagnostics);
    for (const kvbasic::SourceFile& file : program.files) files_.push_back({NormalisedPath(file.path), {}});
    using T = kvbasic::Statement::Type;
    for (const kvbasic::Line& line : program.lines) {
        if (line.file < 0 || static_cast<std::size_t>(line.file) >= files_.size()) continue;
        bool reports = !line.label.empty();
        for (const auto& statement : line.statements)
            if (statement->type != T::Type && statement->type != T::Fields && statement->type != T::EndType) reports = true;
        if (reports) files_[line.file].reportedLines.insert(line.fileLine);
    }
}

int SourceMap::FileNumber(const std::string& path) const
{
    const std::string wanted = NormalisedPath(path);
    for (std::size_t k = 0; k < files_.size(); ++k)
        if (files_[k].path == wanted) return static_cast<int>(k);
    return -1;
}

std::string SourceMap::PathOf(int number) const
{
    return number >= 0 && static_cast<std::size_t>(number) < files_.size() ? files_[number].path : "";
}

int SourceMap::ReportedLineFrom(int file, int line) const
{
    if (file < 0 || static_cast<std::size_t>(file) >= files_.size()) return -1;
    const auto found = files_[file].reportedLines.lower_bound(line);
    return found == files_[file].reportedLines.end() ? -1 : *found;
}

}  // namespace kvdap
