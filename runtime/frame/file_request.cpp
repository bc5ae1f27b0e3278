#include "frame/file_request.h"

#include <cstdio>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "gfx/opengl_rainbows.h"
#include "platform/platform.h"

namespace {

struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};

// "desc|*.a;*.b|desc|*.*" as description and pattern pairs. "*.*" means every
// file where the filter syntax comes from; here that is "*".
std::vector<FileFilter> ParseFilter(const std::string& filter)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = filter.find('|', start);
        fields.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        FileFilter entry{fields[i], {}};
        std::size_t from = 0;
        const std::string& list = fields[i + 1];
        for (;;) {
            std::size_t semicolon = list.find(';', from);
            std::string pattern = list.substr(from, semicolon == std::string::npos ? std::string::npos
                                                                                   : semicolon - from);
            if (pattern == "*.*") pattern = "*";
            if (!pattern.empty()) entry.patterns.push_back(pattern);
            if (semicolon == std::string::npos) break;
            from = semicolon + 1;
        }
        if (!entry.patterns.empty()) filters.push_back(entry);
    }
    return filters;
}

std::string JoinPatterns(const FileFilter& filter)
{
    std::string joined;
    for (const std::string& pattern : filter.patterns) {
        if (!joined.empty()) joined += ' ';
        joined += pattern;
    }
    return joined;
}

std::vector<std::string> ZenityCommand(bool save, const std::vector<FileFilter>& filters,
                                       const std::string& folder)
{
    std::vector<std::string> words{"zenity", "--file-selection"};
    if (save) words.push_back("--save");
    words.push_back("--filename=" + folder);
    for (const FileFilter& filter : filters)
        words.push_back("--file-filter=" + filter.description + " | " + JoinPatterns(filter));
    return words;
}

std::vector<std::string> KdialogCommand(bool save, const std::vector<FileFilter>& filters,
                                        const std::string& folder)
{
    std::vector<std::string> words{"kdialog", save ? "--getsavefilename" : "--getopenfilename", folder};
    // One "patterns|description" per line.
    std::string list;
    for (const FileFilter& filter : filters) {
        if (!list.empty()) list += '\n';
        list += JoinPatterns(filter) + "|" + filter.description;
    }
    if (!list.empty()) words.push_back(list);
    return words;
}

// Runs the first dialog program that starts. True with the path when one was
// chosen.
bool AskForPath(bool save, const std::string& filter, std::string* path)
{
    const std::vector<FileFilter> filters = ParseFilter(filter);
    std::string folder = platform::CurrentDirectory();
    if (!folder.empty() && folder.back() != '/') folder += '/';

    for (const auto& command : {ZenityCommand(save, filters, folder), KdialogCommand(save, filters, folder)}) {
        std::string output;
        int exitCode = 0;
        if (!platform::RunProgramForOutput(command, &output, &exitCode)) continue;
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
        if (exitCode != 0 || output.empty()) return false;  // cancelled
        *path = output;
        return true;
    }
    return false;
}

}  // namespace

KvStr FILEREQUEST_Str(double mode, KvStr filter)
{
    const bool save = mode == 0;
    // The dialog is a separate program and cannot change the working
    // directory; only the window has to make way for it.
    if (pRbow != nullptr) pRbow->HideWindow();
    std::string path;
    const bool chosen = AskForPath(save, filter.GetStrData(), &path);
    if (pRbow != nullptr) {
        if (KV_FULLSCREEN != 0 && !platform::WindowedForced())
            pRbow->DoFullscreen();
        else
            pRbow->DoWindowed();
    }

    if (!chosen) return KvStr("NO_FILE");
    if (path.size() > static_cast<std::size_t>(KvStr::kMaxStored)) {
        std::fprintf(stderr, "Zorvelin runtime: the chosen path is longer than %d characters\n",
                     KvStr::kMaxStored);
        return KvStr("NO_FILE");
    }
    return KvStr(path.c_str());
}
