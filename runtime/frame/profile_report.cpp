#include "frame/profile_report.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/error_report.h"
#include "core/kvstr.h"

namespace {

constexpr const char* kMainProgram = "main program";
// Longer source lines are cut: the report stays one row per line.
constexpr std::size_t kShownSourceText = 60;

// "game.bas:30" (lines counted from 1), or "file 3, line 30" for a file
// the program did not list.
std::string Place(double file, double line)
{
    char lineText[64], fileText[64];
    NumberToText(line + 1, lineText, sizeof lineText);
    if (const KvSourceFile* source = FindSourceFile(file)) return std::string(source->name) + ":" + lineText;
    NumberToText(file, fileText, sizeof fileText);
    return std::string("file ") + fileText + ", line " + lineText;
}

// The line's text without its indentation, or "" when it is not listed.
std::string SourceText(double file, double line)
{
    const KvSourceFile* source = FindSourceFile(file);
    if (source == nullptr || line < 0 || line >= source->lineCount || line != std::floor(line)) return "";
    std::string text = source->lines[static_cast<int>(line)];
    text.erase(0, text.find_first_not_of(" \t"));
    if (text.size() > kShownSourceText) text = text.substr(0, kShownSourceText - 3) + "...";
    return text;
}

// "  84.2 %   1282 ms": a share of all intervals and the time it stands for.
std::string ShareAndTime(long intervals, long all, long intervalMicroseconds)
{
    char text[64];
    const double share = all > 0 ? 100.0 * static_cast<double>(intervals) / static_cast<double>(all) : 0;
    const double ms = static_cast<double>(intervals) * static_cast<double>(intervalMicroseconds) / 1000.0;
    std::snprintf(text, sizeof text, "%6.1f %% %6.0f ms", share, ms);
    return text;
}

// One row per routine name: a SUB's text may sit at more than one address.
std::vector<KvProfiledRoutine> MergedByName(const std::vector<KvProfiledRoutine>& routines)
{
    std::vector<KvProfiledRoutine> merged;
    for (const KvProfiledRoutine& routine : routines) {
        auto same = std::find_if(merged.begin(), merged.end(), [&](const KvProfiledRoutine& row) {
            return row.name == routine.name ||
                   (row.name != nullptr && routine.name != nullptr && std::strcmp(row.name, routine.name) == 0);
        });
        if (same == merged.end()) {
            merged.push_back(routine);
        } else {
            same->selfIntervals += routine.selfIntervals;
            same->totalIntervals += routine.totalIntervals;
        }
    }
    return merged;
}

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

}  // namespace

void WriteProfileReport(std::FILE* out, const KvProfileCounts& counts, long intervalMicroseconds)
{
    const long all = counts.intervals;
    // The system may deliver the timer later than asked (at its clock tick),
    // a sample then standing for several intervals: both are said.
    const double allMs = static_cast<double>(all) * static_cast<double>(intervalMicroseconds) / 1000.0;
    std::fprintf(out, "Profile: %ld samples of the main thread's CPU time, %.0f ms in all", counts.samples, allMs);
    if (counts.samples > 0)
        std::fprintf(out, " (a sample every %.1f ms, timer interval %.1f ms)", allMs / static_cast<double>(counts.samples),
                     static_cast<double>(intervalMicroseconds) / 1000.0);
    std::fprintf(out, "\n");
    if (counts.samples == 0) {
        std::fprintf(out, "No samples: the program's code took less CPU time than one interval.\n");
        return;
    }
    if (counts.unplacedIntervals > 0)
        std::fprintf(out, "%s of it on lines or routines beyond the profiler's tables, not shown.\n",
                     ShareAndTime(counts.unplacedIntervals, all, intervalMicroseconds).c_str());

    std::vector<KvProfiledLine> lines = counts.lines;
    std::sort(lines.begin(), lines.end(), [](const KvProfiledLine& a, const KvProfiledLine& b) {
        if (a.intervals != b.intervals) return a.intervals > b.intervals;
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    if (lines.size() > static_cast<std::size_t>(kReportedLines)) lines.resize(kReportedLines);
    std::vector<std::string> places;
    std::size_t placeWidth = 4, routineWidth = 2;
    for (const KvProfiledLine& line : lines) {
        places.push_back(Place(line.file, line.line));
        placeWidth = std::max(placeWidth, places.back().size());
        routineWidth = std::max(routineWidth, std::strlen(line.routine != nullptr ? line.routine : kMainProgram));
    }
    std::fprintf(out, "\nLines taking the most time:\n");
    std::fprintf(out, "   share        ms  %s  %s  source\n", Padded("line", placeWidth).c_str(),
                 Padded("in", routineWidth).c_str());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const KvProfiledLine& line = lines[k];
        std::fprintf(out, "%s  %s  %s  %s\n", ShareAndTime(line.intervals, all, intervalMicroseconds).c_str(),
                     Padded(places[k], placeWidth).c_str(),
                     Padded(line.routine != nullptr ? line.routine : kMainProgram, routineWidth).c_str(),
                     SourceText(line.file, line.line).c_str());
    }

    std::vector<KvProfiledRoutine> routines = MergedByName(counts.routines);
    std::sort(routines.begin(), routines.end(), [](const KvProfiledRoutine& a, const KvProfiledRoutine& b) {
        // The main program, holding every call, is always the first row.
        if (a.name == nullptr || b.name == nullptr) return a.name == nullptr && b.name != nullptr;
        if (a.totalIntervals != b.totalIntervals) return a.totalIntervals > b.totalIntervals;
        if (a.selfIntervals != b.selfIntervals) return a.selfIntervals > b.selfIntervals;
        return std::strcmp(a.name, b.name) < 0;
    });
    if (routines.size() > static_cast<std::size_t>(kReportedRoutines)) routines.resize(kReportedRoutines);
    std::fprintf(out, "\nSUBs and FUNCTIONs taking the most time (total: with what they call; self: their own lines):\n");
    std::fprintf(out, "   total        ms     self        ms  name\n");
    for (const KvProfiledRoutine& routine : routines)
        std::fprintf(out, "%s %s  %s\n", ShareAndTime(routine.totalIntervals, all, intervalMicroseconds).c_str(),
                     ShareAndTime(routine.selfIntervals, all, intervalMicroseconds).c_str(),
                     routine.name != nullptr ? routine.name : kMainProgram);
}
