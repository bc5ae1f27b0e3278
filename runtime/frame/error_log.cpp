#include "frame/error_log.h"

#include <cstdio>

#include "platform/platform.h"

std::string ErrorLogPath()
{
    return platform::TempFolder() + "ErrorLog.txt";
}

void DeleteErrorLog()
{
    platform::RemoveFile(ErrorLogPath().c_str());
}

void AppendErrorLog(const char* text)
{
    std::FILE* log = std::fopen(ErrorLogPath().c_str(), "ab");
    if (log == nullptr) return;
    std::fputs(text, log);
    std::fputs("\r\n", log);
    std::fclose(log);
}
