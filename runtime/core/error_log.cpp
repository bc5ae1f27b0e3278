// The error log lives in the temporary folder, which is usually shared by
// every user of the machine (/tmp). Its name there may be taken by something
// this user can neither remove nor write: another user's log from an
// earlier run, or a link or pipe planted under the name. The log then goes
// to the next of these places that works, and the user is told once on
// stderr where it went (or why there is none):
//   1. <temporary folder>/ErrorLog.txt
//   2. <temporary folder>/ErrorLog-<user id>.txt
//   3. ErrorLog.txt in a new private folder <temporary folder>/kverrorlog-XXXXXX
#include "core/error_log.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace {

constexpr int kPlaces = 3;

struct LogPlace {
    std::string folder = "\x01";  // the temporary folder the places are in (none yet)
    int place = 0;       // the place in use; kPlaces: none is left
    std::string path;    // its file; empty when there is no log
};

LogPlace& Place()
{
    static LogPlace place;
    return place;
}

// The file of place n; empty when it cannot be had.
std::string PathOfPlace(const std::string& folder, int n)
{
    if (n == 0) return folder + "ErrorLog.txt";
    if (n == 1) return folder + "ErrorLog-" + std::to_string(platform::UserId()) + ".txt";
    const std::string privateFolder = platform::MakePrivateTempFolder("kverrorlog-");
    return privateFolder.empty() ? std::string() : privateFolder + "ErrorLog.txt";
}

// Starts over at the first place when the temporary folder has changed
// ($TMPDIR set anew).
void FollowTemporaryFolder()
{
    LogPlace& log = Place();
    std::string folder = platform::TempFolder();
    if (folder == log.folder) return;
    log.folder = folder;
    log.place = 0;
    log.path = folder.empty() ? std::string() : PathOfPlace(folder, 0);
}

// The place in use failed for reason why: the log moves to the next place
// whose name is free or holds this user's own old log (which is removed, so
// the log describes this run only). Says once where the log now goes.
void MoveOn(std::string why)
{
    LogPlace& log = Place();
    const std::string given = log.path;
    log.path.clear();
    std::string tried = given;
    while (++log.place < kPlaces) {
        std::string path = PathOfPlace(log.folder, log.place);
        std::string whyNot;
        if (path.empty()) {
            tried = log.folder + "kverrorlog-XXXXXX";
            why = "cannot make a private folder";
            continue;
        }
        if (platform::RemoveFileIfPresent(path.c_str(), &whyNot)) {
            log.path = path;
            std::fprintf(stderr, "Zorvelin runtime: the error log %s cannot be used (%s); it is %s\n",
                         given.c_str(), why.c_str(), path.c_str());
            return;
        }
        tried = path;
        why = whyNot;
    }
    std::fprintf(stderr, "Zorvelin runtime: no error log this run: %s cannot be used (%s)\n", tried.c_str(),
                 why.c_str());
}

}  // namespace

std::string ErrorLogPath()
{
    FollowTemporaryFolder();
    return Place().path;
}

void DeleteErrorLog()
{
    // Every run starts at the first place again.
    Place() = LogPlace();
    FollowTemporaryFolder();
    LogPlace& log = Place();
    std::string why;
    if (!log.path.empty() && !platform::RemoveFileIfPresent(log.path.c_str(), &why)) MoveOn(why);
}

void AppendErrorLog(const char* text)
{
    FollowTemporaryFolder();
    LogPlace& log = Place();
    const std::string line = std::string(text) + "\r\n";
    std::string why;
    // Each failing place gives way to the next, so this ends.
    while (!log.path.empty()) {
        if (platform::AppendToPlainFile(log.path.c_str(), line, &why)) return;
        MoveOn(why);
    }
}
