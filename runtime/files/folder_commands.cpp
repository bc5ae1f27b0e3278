#include "files/folder_commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "files/wild_match.h"
#include "platform/platform.h"

double DOESFILEEXIST(KvStr fileName)
{
    return platform::IsReadableFile(fileName.GetStrData()) ? 1 : 0;
}

double CREATEFILE(KvStr fileName)
{
    std::string why;
    if (platform::CreateEmptyFile(fileName.GetStrData(), &why)) return 1;
    std::fprintf(stderr, "Zorvelin runtime: CREATEFILE: %s\n", why.c_str());
    return 0;
}

KvStr GETCURRENTDIR_Str()
{
    // The folder ends in the system's separator. On Linux "/" is the only
    // one (a backslash is part of a name); Windows gives its folders with
    // backslashes, and its roots ("C:\") already end in one.
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    std::string folder = platform::CurrentDirectory();
    if (folder.empty()) return KvStr();
    if (folder.back() != separator && folder.back() != '/') folder += separator;
    return KvStr(folder.c_str());
}

double SETCURRENTDIR(KvStr directory)
{
    return platform::ChangeDirectory(directory.GetStrData()) ? 1 : 0;
}

double GETFILELIST(KvStr pattern, KvStrArray& names)
{
    std::vector<platform::DirectoryEntry> entries;
    platform::ListDirectory(".", entries);

    std::vector<const std::string*> folders, files;
    folders.reserve(512);
    files.reserve(512);
    for (const platform::DirectoryEntry& entry : entries) {
        if (entry.isDirectory)
            folders.push_back(&entry.name);
        else if (szWildMatch(pattern.GetStrData(), entry.name.c_str()))
            files.push_back(&entry.name);
    }

    const double count = static_cast<double>(folders.size() + files.size());
    DIM(names, count);
    int index = 0;
    for (const std::string* name : folders) names(index++) = name->c_str();
    for (const std::string* name : files) names(index++) = name->c_str();
    return static_cast<double>(folders.size()) * 65536 + static_cast<double>(files.size());
}
