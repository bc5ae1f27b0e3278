// FAST_FILE: the line-file cache behind GETFILE and PUTFILE. One text file
// is held in memory as a table of lines; reads and writes go to the table,
// and changed lines reach the disk only when another file is selected or the
// program ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/kvstr.h"
#include "platform/platform.h"

class FAST_FILE {
public:
    static constexpr int kMaxLines = 256;
    static constexpr int kLineChars = 1024;
    // The longest line a file may have to be cached: a longer line is kept
    // only in part, and finding its end would mean reading on without
    // bound (a file of one huge line). Such a file is not loaded.
    static constexpr std::uint64_t kMaxLineBytes = 65536;

    FAST_FILE();
    // Writes back pending changes. Every way the program ends runs
    // __EndProgram, which writes back explicitly before it exits, so the
    // changes are on disk before static destruction clears the archive boxes
    // (their order among the statics is not fixed); this destructor covers a
    // process that leaves through exit() or main without it.
    ~FAST_FILE();
    FAST_FILE(const FAST_FILE&) = delete;
    FAST_FILE& operator=(const FAST_FILE&) = delete;

    // Selects the file to cache: the current one is written back if changed
    // and forgotten, then name is loaded. Null only writes back and forgets.
    // Returns 0, or 3 (also raised as runtime error 3) when name cannot be
    // opened or loaded. SIGINT or SIGTERM stops the loading at once (3).
    int FillBuffer(const char* name);
    // Line n of the file into out, trailing control characters removed;
    // "NO_DATA" for an empty line. Returns 0, 3 ("NO_FILE") or 7 ("NO_DATA",
    // n outside 0 ... 255); 3 and 7 are raised as runtime errors too.
    int GetFile(const char* name, short n, KvStr& out);
    // Replaces line n of an existing file. Returns 0, 3 or 7 as GetFile does.
    int PutFile(const char* name, short n, const char* text);

    char fileName[kLineChars] = {};                // as the caller gave it; empty = none
    char lines[kMaxLines][kLineChars + 1] = {};    // without line ends
    int lastLine = 0;                              // highest line in use
    bool dirty = false;                            // changed since loaded

    // Where each line lies in the file as it was loaded (its text, without
    // the line end). A line the table holds only in part (over 1024
    // characters, or with a zero byte) is written back from the original
    // unless the program replaced it; so are the bytes after the 256th line,
    // from restOffset on. Nothing beyond the table is held in memory.
    std::uint64_t lineOffset[kMaxLines] = {};
    std::uint64_t lineLength[kMaxLines] = {};
    bool lineIsCut[kMaxLines] = {};
    std::uint64_t restOffset = 0;
    platform::FileStamp loaded;
    // Where the file was loaded from, as an absolute path: the working
    // directory may change before the write-back.
    std::string diskPath;
    // The last file that could not be read, as it was then: asking for it
    // again fails at once until the file changes.
    std::string failedPath;
    platform::FileStamp failedStamp;

private:
    bool IsSelected(const char* name) const;
    void WriteBack();
    void Forget();
    int Load(const char* name);
    // Reads the table; false with *why when the file cannot be loaded, and
    // false with *interrupted when SIGINT or SIGTERM stopped the reading.
    bool ReadTable(std::FILE* file, std::string* why, bool* interrupted);
    void EndLine(int index, std::uint64_t start, std::uint64_t rawLength, bool lineFeed,
                 char lastByte, bool hasZero);
};

extern FAST_FILE g_FastFile;

// Called by start-up: tells, on stderr and in the error log, of every line
// file whose in-place write-back an earlier run did not finish (it was
// killed during the copy), and where its whole new content was kept.
void ReportInterruptedWriteBacks();
