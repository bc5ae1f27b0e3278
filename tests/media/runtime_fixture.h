// A started runtime in the test process (a real window and OpenGL context,
// under Xvfb in automated runs) whose mixer output is recorded into a file,
// optionally driven by an input script.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/media_files.h"

class MediaRuntimeTest : public ::testing::Test {
protected:
    // Starts the runtime; script lines (may be empty) become the input script.
    void Start(const std::vector<std::string>& scriptLines = {});
    void TearDown() override;
    // Stops the music and closes the sound device as shutdown does, so that
    // the recording is complete, and returns it.
    std::vector<mediatest::StereoFrame> FinishRecording();

    mediatest::Folder m_folder;
};
