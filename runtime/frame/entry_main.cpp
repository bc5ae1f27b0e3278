// The process entry point: joins the arguments into one command line, as the
// program would have received it, and hands it to the generated WinMain.
#include <string>
#include <vector>

#include "frame/frame.h"

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    return WinMain(nullptr, nullptr, buffer.data(), 1);
}
