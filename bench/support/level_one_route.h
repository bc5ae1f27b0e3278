// The game's level 1 on the scripted route (tests/game/data/level1_route.txt)
// as input scripts for the benchmarks that play it: one that ends at the
// level's first frame and one that plays the whole route, so that the
// difference of two runs leaves start-up and shut-down out.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

// The frame the level starts at: "2" (easy game) at frame 10, Space on the
// title's message from frame 20.
constexpr long kLevelOneStart = 25;

// Writes the script to `path`: the whole route, or only up to the level's
// first frame. Returns the frame Escape ends the game at.
inline long WriteLevelOneScript(const std::string& path, bool wholeRoute)
{
    std::ofstream out(path);
    out << "10 key 2 down\n12 key 2 up\n20 key 57 down\n" << kLevelOneStart << " key 57 up\n";
    long routeEnd = 0;
    std::ifstream route(std::string(KV_SOURCE_DIR) + "/tests/game/data/level1_route.txt");
    for (std::string line; std::getline(route, line);) {
        std::istringstream words(line);
        std::string first, second, third;
        words >> first >> second >> third;
        if (first == "#@" && third == "done") routeEnd = std::stol(second);
        if (!first.empty() && first[0] != '#' && wholeRoute)
            out << kLevelOneStart + std::stol(first) << line.substr(line.find(' ')) << "\n";
    }
    // Escape after the last entry of the route (script frames never decrease).
    const long end = wholeRoute ? kLevelOneStart + routeEnd + 2 : kLevelOneStart + 1;
    out << end << " key 1 down\n";
    return end;
}

// The environment of a scripted, unpaced, reproducible run in a window.
inline std::vector<std::string> LevelOneEnvironment(const std::string& script)
{
    return {"KV_UNPACED=1", "KV_SEED=3", "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "SDL_AUDIODRIVER=dummy",
            "KV_INPUT_SCRIPT=" + script};
}

}  // namespace bench
