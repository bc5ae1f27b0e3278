#include "frame/profile_samples.h"

#include <cmath>
#include <cstdint>

#include "core/call_depth.h"

namespace {

// Room for this many distinct lines and SUBs/FUNCTIONs; what does not fit
// is counted as unplaced. Plain zeroed arrays: the pages are touched only
// by a profiled run. Powers of two, for the open addressing below.
constexpr std::size_t kLineSlots = 16384;
constexpr std::size_t kRoutineSlots = 4096;
// A table is used at most this full, so that a search always ends soon.
constexpr std::size_t kLineLimit = kLineSlots * 3 / 4;
constexpr std::size_t kRoutineLimit = kRoutineSlots * 3 / 4;

struct LineSlot {
    KvProfiledLine counts;
    bool used;
};
struct RoutineSlot {
    KvProfiledRoutine counts;
    bool used;
    long lastSample;  // the sample that last added to totalIntervals
};

// Everything counted so far: the two tables and the totals. While sampling
// runs only the signal handler writes it. A plain aggregate, zeroed with the
// program's other static data: nothing runs at start-up to clear it.
struct ProfileTables {
    LineSlot lineSlots[kLineSlots];
    RoutineSlot routineSlots[kRoutineSlots];
    std::size_t lineCount, routineCount;
    long samples, intervals, unplaced;
};

ProfileTables g_profile;

std::size_t Mix(std::uint64_t key, std::size_t slots)
{
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return static_cast<std::size_t>(key) & (slots - 1);
}

LineSlot* FindLine(double file, double line)
{
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(file)) << 32) ^
                              static_cast<std::uint32_t>(line);
    for (std::size_t k = Mix(key, kLineSlots);; k = (k + 1) & (kLineSlots - 1)) {
        LineSlot& slot = g_profile.lineSlots[k];
        if (slot.used && slot.counts.file == file && slot.counts.line == line) return &slot;
        if (slot.used) continue;
        if (g_profile.lineCount >= kLineLimit) return nullptr;
        ++g_profile.lineCount;
        slot.used = true;
        slot.counts.file = file;
        slot.counts.line = line;
        return &slot;
    }
}

// The routine named `name` (a callee text of the call stack; null: the
// main program). Every call of one SUB gives the same text, nearly always
// the same pointer; the report merges the rest by their text.
RoutineSlot* FindRoutine(const char* name)
{
    for (std::size_t k = Mix(reinterpret_cast<std::uintptr_t>(name), kRoutineSlots);;
         k = (k + 1) & (kRoutineSlots - 1)) {
        RoutineSlot& slot = g_profile.routineSlots[k];
        if (slot.used && slot.counts.name == name) return &slot;
        if (slot.used) continue;
        if (g_profile.routineCount >= kRoutineLimit) return nullptr;
        ++g_profile.routineCount;
        slot.used = true;
        slot.counts.name = name;
        slot.lastSample = -1;
        return &slot;
    }
}

void AddTotal(const char* name, long intervals)
{
    RoutineSlot* routine = FindRoutine(name);
    if (routine == nullptr) return;
    // A recursive routine is on the stack many times but spent the sample once.
    if (routine->lastSample == g_profile.samples) return;
    routine->lastSample = g_profile.samples;
    routine->counts.totalIntervals += intervals;
}

}  // namespace

void RecordProfileSample(long intervals)
{
    ++g_profile.samples;
    g_profile.intervals += intervals;
    // The signal may have come in the middle of a call's entry, after the
    // depth grew and before its callee was stored: the slot then holds the
    // text of an earlier call (all are literals) or, never used, null.
    int depth = g_callDepth;
    if (depth < 0) depth = 0;
    if (depth > kMaxCallDepth + 1) depth = kMaxCallDepth + 1;
    const char* innermost = depth > 0 ? g_callStack[depth - 1].callee : nullptr;

    const double file = g_debugfile, line = g_debugline;
    LineSlot* slot = std::isfinite(file) && std::isfinite(line) ? FindLine(file, line) : nullptr;
    if (slot != nullptr) {
        slot->counts.routine = innermost;
        slot->counts.intervals += intervals;
    }
    RoutineSlot* self = FindRoutine(innermost);
    if (slot == nullptr || self == nullptr) g_profile.unplaced += intervals;
    if (self != nullptr) self->counts.selfIntervals += intervals;
    AddTotal(nullptr, intervals);  // the main program holds every call
    for (int k = 0; k < depth; ++k)
        if (g_callStack[k].callee != nullptr) AddTotal(g_callStack[k].callee, intervals);
}

KvProfileCounts ProfileCounts()
{
    KvProfileCounts counts;
    counts.samples = g_profile.samples;
    counts.intervals = g_profile.intervals;
    counts.unplacedIntervals = g_profile.unplaced;
    for (const LineSlot& slot : g_profile.lineSlots)
        if (slot.used) counts.lines.push_back(slot.counts);
    for (const RoutineSlot& slot : g_profile.routineSlots)
        if (slot.used) counts.routines.push_back(slot.counts);
    return counts;
}
