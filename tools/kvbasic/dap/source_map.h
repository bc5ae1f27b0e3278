// The program's files and the lines of each that report themselves when
// they run (lines with statements, and labelled lines; not the lines of a
// TYPE, which generate no code), read with the translator's own parser so
// that file numbers are the translator's: 0 the main file, then the files
// INCLUDE names in the order it first includes them.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace kvdap {

class SourceMap {
public:
    SourceMap() = default;
    // Parses the program at `mainPath` and every file it includes. Syntax
    // errors do not matter here: the lines still parse as far as they can.
    explicit SourceMap(const std::string& mainPath);

    // The number of the file at `path` (any spelling of it), or -1.
    int FileNumber(const std::string& path) const;
    // The path of file `number` (absolute), or "".
    std::string PathOf(int number) const;
    // The first line at or after `line` (0-based) of the file that reports
    // itself, or -1.
    int ReportedLineFrom(int file, int line) const;
    std::size_t FileCount() const { return files_.size(); }

private:
    struct File {
        std::string path;  // absolute, normalised
        std::set<int> reportedLines;
    };
    std::vector<File> files_;
};

// `path` absolute, with `.` and `..` resolved and links followed as far as
// the file exists.
std::string NormalisedPath(const std::string& path);

}  // namespace kvdap
