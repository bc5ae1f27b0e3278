// The process entry point: joins the arguments into one command line, as the
// program would have received it, and hands it to the generated WinMain.
// Arguments holding blanks or quotes are quoted, so that splitting the line
// gives them back.
#include <string>
#include <vector>

#include "files/command_line.h"
#include "frame/frame.h"

int main(int argc, char** argv)
{
    const std::string commandLine = JoinCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    return WinMain(nullptr, nullptr, buffer.data(), 1);
}
