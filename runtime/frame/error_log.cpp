#include "frame/error_log.h"

#include <string>

#include "platform/platform.h"

std::string ErrorLogPath()
{
    std::string folder = platform::TempFolder();
    return folder.empty() ? std::string() : folder + "ErrorLog.txt";
}

void DeleteErrorLog()
{
    std::string path = ErrorLogPath();
    if (!path.empty()) platform::RemoveFile(path.c_str());
}

void AppendErrorLog(const char* text)
{
    // The log lives in a folder others may write to: a link or pipe planted
    // under its name is never followed, and the line is then dropped.
    std::string path = ErrorLogPath();
    if (!path.empty()) platform::AppendToPlainFile(path.c_str(), std::string(text) + "\r\n");
}
