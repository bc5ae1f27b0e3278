// The built game played through level 1 on the scripted route twice: with
// 2D batching (the default) and with KV_NO_BATCH=1, where every 2D command
// is a draw of its own, all GL state is sent every time and every sprite is
// sampled linearly (batched, sprites at their own size are sampled nearest).
// Every screenshot of the two runs must be the same, byte for byte. Both
// draw into the offscreen area: in the window's own back buffer the driver
// turns rows over in its viewport arithmetic, and linear sampling at texel
// centres can stray by one level there (nearest, the default's, cannot);
// the default's pictures in the window are held to the golden screenshots.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace testing_support;

constexpr int kKeyOne = 2, kSpace = 57, kEscape = 1;
constexpr long kLevelStart = 25;  // the space bar on the Level 1 screen is released
constexpr long kShotEvery = 3;    // frames between screenshots

// The script: the intro, easy, the Level 1 screen, the whole level on the
// route, the Level 2 screen, and a screenshot every few frames of it all.
std::string Script(const std::string& folder, long& lastShot, int& shots)
{
    std::vector<std::pair<long, std::string>> entries = {
        {10, "key " + std::to_string(kKeyOne) + " down"}, {12, "key " + std::to_string(kKeyOne) + " up"},
        {20, "key " + std::to_string(kSpace) + " down"}, {kLevelStart, "key " + std::to_string(kSpace) + " up"}};
    long routeEnd = -1;
    std::ifstream route(std::string(KV_SOURCE_DIR) + "/tests/game/data/level1_route.txt");
    for (std::string line; std::getline(route, line);) {
        std::istringstream words(line);
        std::string first, second;
        words >> first >> second;
        if (first == "#@" && second.size() > 0) {
            std::string what;
            words >> what;
            if (what == "done") routeEnd = std::stol(second);
        } else if (!first.empty() && first[0] != '#') {
            entries.emplace_back(kLevelStart + std::stol(first), line.substr(line.find(' ') + 1));
        }
    }
    const long end = kLevelStart + routeEnd + 12;
    shots = 0;
    for (long frame = 1; frame <= end; frame += kShotEvery, ++shots) {
        entries.emplace_back(frame, "screenshot " + folder + "/shot_" + std::to_string(frame) + ".bmp");
        lastShot = frame;
    }
    entries.emplace_back(end + 5, "key " + std::to_string(kEscape) + " down");
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string script;
    for (const auto& [frame, entry] : entries) script += std::to_string(frame) + " " + entry + "\n";
    return script;
}

struct GameRun {
    ScratchFolder folder;
    long lastShot = 0;
    int shots = 0;

    ChildResult Play(bool batching)
    {
        {
            std::ofstream file(folder.File("input.txt"));
            file << Script(folder.Path(), lastShot, shots);
        }
        ChildProcess child(BuildProgram("game/zorvelin"), {},
                           {"TMPDIR=" + folder.Path(), "KV_INPUT_SCRIPT=" + folder.File("input.txt"), "KV_UNPACED=1",
                            "KV_SEED=3", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy",
                            "KV_OFFSCREEN_AREA=1", std::string("KV_NO_BATCH=") + (batching ? "0" : "1")},
                           folder.File("stderr.txt"));
        EXPECT_TRUE(child.Started());
        return child.Wait(std::chrono::seconds(400));
    }
    std::string Shot(long frame) const { return ReadWholeFile(folder.File("shot_" + std::to_string(frame) + ".bmp")); }
};

TEST(BatchGolden, LevelOneLooksTheSameBatchedAndUnbatched)
{
    GameRun batched, unbatched;
    ChildResult a = batched.Play(true);
    ASSERT_TRUE(a.exited && a.exitCode == 0) << a.stderrText;
    ChildResult b = unbatched.Play(false);
    ASSERT_TRUE(b.exited && b.exitCode == 0) << b.stderrText;
    ASSERT_GT(batched.shots, 350);

    int differing = 0, distinct = 0;
    std::string previous;
    for (long frame = 1; frame <= batched.lastShot; frame += kShotEvery) {
        const std::string shot = batched.Shot(frame);
        ASSERT_GT(shot.size(), 640u * 480u * 3u) << "frame " << frame;
        if (shot != unbatched.Shot(frame)) {
            ++differing;
            ADD_FAILURE() << "frame " << frame << " differs";
        }
        distinct += shot != previous;
        previous = shot;
    }
    EXPECT_EQ(differing, 0);
    // The pictures move: the comparison is of a game being played.
    EXPECT_GT(distinct, batched.shots / 2);
}

}  // namespace
