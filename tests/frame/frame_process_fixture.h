// The frame's end-to-end tests: frame_probe run as a child process with a
// temporary folder of its own, and the error log it leaves there.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/child_process.h"

using namespace testing_support;

class FrameProcessTest : public ::testing::Test {
protected:
    ChildResult Run(const std::string& mode, std::vector<std::string> env = {})
    {
        env.push_back("TMPDIR=" + folder.Path());
        ChildProcess child(BuildProgram("frame_probe"), {mode}, env, folder.File("stderr.txt"));
        EXPECT_TRUE(child.Started());
        return child.Wait();
    }
    std::vector<std::string> Log() { return ErrorLogLines(folder.Path()); }
    static bool IsRendererLine(const std::string& line)
    {
        return line == "OpenGL Hardware Support" || line == "OpenGL Software Emulation";
    }

    ScratchFolder folder;
};
