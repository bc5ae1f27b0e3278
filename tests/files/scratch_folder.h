// A fresh folder for one test, made the working directory while the test
// runs; removed afterwards with everything in it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/fast_file.h"

class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "kvfiles.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        std::filesystem::current_path(folder);
    }

    void TearDown() override
    {
        g_FastFile.FillBuffer(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

public:
    static void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(name, std::ios::binary) << bytes;
    }

    static std::string Read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

protected:
    std::filesystem::path previous;
    std::filesystem::path folder;
};
