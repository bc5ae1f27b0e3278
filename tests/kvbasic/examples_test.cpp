// The example programs, built with the project, played from their command
// lines to the end under the test's X display: each ends without a runtime
// error and saves its last picture; the high-score table lands in its file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace testing_support;

// Runs the built example with its media in a folder of its own; returns
// its standard error, and fails the test when it did not end cleanly.
// A media file named by `without` is left out.
std::string Play(const ScratchFolder& folder, const std::string& name, const std::vector<std::string>& args,
                 const std::string& without = "")
{
    namespace fs = std::filesystem;
    const fs::path home = folder.File(name);
    fs::create_directories(home);
    fs::copy_file(BuildProgram(name), home / name);
    fs::copy_file(std::string(KV_SOURCE_DIR) + "/media/runtime/Smalfont.bmp", home / "Smalfont.bmp");
    for (const auto& media : fs::directory_iterator(std::string(KV_SOURCE_DIR) + "/media/examples"))
        if (media.path().filename() != without) fs::copy_file(media.path(), home / media.path().filename());
    ChildProcess child((home / name).string(), args, {"TMPDIR=" + folder.Path(), "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy"},
                       folder.File(name + ".stderr"));
    const ChildResult result = child.Wait();
    EXPECT_TRUE(result.exited && result.exitCode == 0) << name << ": " << result.stderrText;
    EXPECT_EQ(result.stderrText.find("runtime error"), std::string::npos) << name << ": " << result.stderrText;
    EXPECT_TRUE(fs::exists(home / "last.bmp")) << name << " saved no picture";
    return result.stderrText;
}

TEST(KvBasicExamplesTest, LifeAdventureAndHighScoresPlayToTheirEnd)
{
    ScratchFolder folder;
    Play(folder, "life", {"40", "last.bmp"});
    Play(folder, "adventure",
         {"north;take lamp;look;south;east;dance;south;take key;inventory;south;take flag|last.bmp"});

    // A new entry joins the table at its place and the table is written back.
    Play(folder, "highscores", {"Zorro", "800", "3", "last.bmp"});
    const std::string table = ReadWholeFile(folder.File("highscores/highscores.txt"));
    EXPECT_EQ(table.substr(0, table.find("\r\n\r\n")),
              "Anna;1200\r\nBert;950\r\nZorro;800\r\nCleo;700\r\nDana;400\r\nEmil;150");

    // Without a table file the first entry makes one (PUTFILE alone would
    // write nothing).
    ScratchFolder fresh;
    const std::string said = Play(fresh, "highscores", {"Neo", "5", "3", "last.bmp"}, "highscores.txt");
    const std::string first = ReadWholeFile(fresh.File("highscores/highscores.txt"));
    EXPECT_EQ(first.substr(0, first.find("\r\n\r\n")), "Neo;5");
    EXPECT_EQ(said.find("PUTFILE"), std::string::npos) << said;
}

}  // namespace
