// Recorded play: a session played with real key presses (xdotool on a
// private X display) is recorded with KV_RECORD_INPUT and replayed with
// KV_INPUT_SCRIPT. In the session the cat takes a flag and a guard catches
// it; the replay shows the same pictures frame by frame, and its
// screenshots show the flag gone and a life lost.
//
// The keys are pressed in a closed loop: the player watches the recording
// and the frame checksums as the game writes them, so it knows for how many
// frames each key was held, however slowly xdotool or the game run on a
// busy machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bmp_picture.h"
#include "support/child_process.h"

namespace game_testing {
namespace {

using namespace testing_support;

// A key as the game reads it (DIK scan code) and as xdotool presses it.
struct Key {
    int dik;
    const char* xName;
};
constexpr Key kKeyOne{2, "1"}, kSpace{57, "space"}, kUp{200, "Up"}, kDown{208, "Down"}, kEscape{1, "Escape"};

// The frames from the first one a key was held in to the first one it was
// up again; both -1 when the game did not see the key.
struct Held {
    long from = -1, to = -1;
    long Frames() const { return to - from; }
};

// Lines of a file the game is still writing: only the complete ones.
std::vector<std::string> CompleteLines(const std::string& path)
{
    std::string text = ReadWholeFile(path);
    text.erase(text.find_last_of('\n') == std::string::npos ? 0 : text.find_last_of('\n') + 1);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Presses keys on the game's display and reads what the game made of them
// from its recording and its frame checksums while it runs.
class LivePlayer {
public:
    LivePlayer(const PrivateDisplay& display, std::string recording, std::string checksums)
        : display_(display), recording_(std::move(recording)), checksums_(std::move(checksums))
    {
    }

    // The checksum of every frame presented so far, by frame number.
    std::vector<std::string> Checksums() const
    {
        std::vector<std::string> sums;
        for (const std::string& line : CompleteLines(checksums_)) {
            std::istringstream words(line);
            long frame = -1;
            std::string sum;
            words >> frame >> sum;
            if (frame != static_cast<long>(sums.size())) break;
            sums.push_back(sum);
        }
        return sums;
    }
    long PresentedFrames() const { return static_cast<long>(Checksums().size()); }

    bool WaitForFrames(long count) const
    {
        return WaitUntil([&] { return PresentedFrames() >= count; });
    }

    // Holds the key until the game has drawn the given number of frames
    // with it; releasing takes a moment, so it may be held a little longer.
    Held HoldFor(const Key& key, long frames)
    {
        Held held;
        if (!Xdotool(std::string("keydown ") + key.xName)) return held;
        held.from = WaitForEntry(key, true);
        if (held.from >= 0) WaitForFrames(held.from + frames);
        if (!Xdotool(std::string("keyup ") + key.xName)) return held;
        if (held.from >= 0) held.to = WaitForEntry(key, false);
        return held;
    }

    // Presses the key and returns the first frame the game saw it in.
    long Press(const Key& key)
    {
        if (!Xdotool(std::string("keydown ") + key.xName)) return -1;
        return WaitForEntry(key, true);
    }

    // A press and release at once: the game sees it for one frame.
    Held Tap(const Key& key)
    {
        Held held;
        if (!Xdotool(std::string("key ") + key.xName)) return held;
        held.from = WaitForEntry(key, true);
        if (held.from >= 0) held.to = WaitForEntry(key, false);
        return held;
    }

    // Presses the key until the game sees it (its window may not be there
    // yet), then holds it for some frames.
    Held PressOnceTheWindowListens(const Key& key, long frames)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (!Xdotool("mousemove 300 300 keydown " + std::string(key.xName))) break;
            Held held;
            held.from = WaitForEntry(key, true, std::chrono::milliseconds(1500));
            if (held.from < 0) {
                Xdotool(std::string("keyup ") + key.xName);
                continue;
            }
            WaitForFrames(held.from + frames);
            Xdotool(std::string("keyup ") + key.xName);
            held.to = WaitForEntry(key, false);
            return held;
        }
        return {};
    }

    // The first frame after `after` from which the picture stays the same
    // for `length` frames; -1 if there is none before the timeout.
    long WaitForStillPicture(long after, long length, std::chrono::seconds timeout) const
    {
        long found = -1;
        WaitUntil(
            [&] {
                const std::vector<std::string> sums = Checksums();
                long runStart = after + 1;
                for (long f = after + 2; f < static_cast<long>(sums.size()); ++f) {
                    if (sums[f] != sums[f - 1]) runStart = f;
                    if (f - runStart + 1 >= length) {
                        found = runStart;
                        return true;
                    }
                }
                return false;
            },
            timeout);
        return found;
    }

private:
    bool Xdotool(const std::string& arguments) const { return display_.Xdotool(arguments) == 0; }

    template <typename Condition>
    static bool WaitUntil(Condition done, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // Waits for the recording's next entry of the key going down or up,
    // and returns its frame (-1 on timeout).
    long WaitForEntry(const Key& key, bool down, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        long& last = lastEntry_.try_emplace(key.dik, -1).first->second;
        long found = -1;
        WaitUntil(
            [&] {
                for (const std::string& line : CompleteLines(recording_)) {
                    std::istringstream words(line);
                    long frame = -1;
                    int dik = -1;
                    std::string verb, direction;
                    words >> frame >> verb >> dik >> direction;
                    if (verb != "key" || dik != key.dik || frame <= last) continue;
                    if (direction == (down ? "down" : "up")) found = frame;
                    break;
                }
                return found >= 0;
            },
            timeout);
        if (found >= 0) last = found;
        return found;
    }

    const PrivateDisplay& display_;
    std::string recording_, checksums_;
    std::map<int, long> lastEntry_;  // per key: the frame of its last entry seen
};

// Level 1 as the session meets it. The cat starts at world (460, 261) and
// walks 3 pixels a frame; holding Up brings it to the top of the land,
// world y 152, taking flag d (world 448, 192) on the way. The guard pair
// patrols the whole width at world y 300 and 524; it catches the cat when
// the middle of the cat touches a guard, which at the cat's x happens on
// every patrol pass while the cat stands with its top at world y 280 ... 320,
// that is 43 ... 56 frames of walking down from the top.
constexpr long kFramesUpToTheTop = 37;
constexpr long kFramesDownToTheGuards = 49;
constexpr long kFramesDownTolerance = 3;
// In play the picture changes at least every 33 frames: a guard on the
// screen moves every frame, and both are off it for at most 32 frames at a
// turn. The caught screen stands still until Space.
constexpr long kStillFrames = 60;
// Where flag d and the third life are on the screen at the level's start.
constexpr int kFlagX = 448 - 160, kFlagY = 192 - 109;
constexpr int kThirdLifeX = 610, kLivesY = 18;

// The checksum the game writes for a presented frame, from a screenshot of
// it: FNV-1a over the RGB bytes, bottom row first, as GL reads them.
std::string FrameChecksum(const std::string& bmpPath)
{
    const BmpPicture picture(bmpPath);
    std::uint64_t sum = 14695981039346656037ull;
    for (int y = picture.Height() - 1; y >= 0; --y)
        for (int x = 0; x < picture.Width(); ++x) {
            const Colour c = picture.At(x, y);
            for (int byte : {c.r, c.g, c.b}) sum = (sum ^ static_cast<unsigned>(byte)) * 1099511628211ull;
        }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(sum));
    return text;
}

// How many pixels of the 32 x 32 tile at (x, y) differ from the picture
// (whose colour-key pixels show black); dirt dots of the map don't count.
int PixelsUnlike(const BmpPicture& screen, int x, int y, const std::string& tile)
{
    const BmpPicture picture(MediaPath(tile));
    const Colour key{255, 0, 128}, dirt{128, 0, 0};
    int unlike = 0, dots = 0;
    for (int py = 0; py < 32; ++py)
        for (int px = 0; px < 32; ++px) {
            const Colour want = picture.At(px, py) == key ? Colour{0, 0, 0} : picture.At(px, py);
            const Colour shown = screen.At(x + px, y + py);
            if (shown == want) continue;
            if (shown == dirt && ++dots <= 2) continue;
            ++unlike;
        }
    return unlike;
}

// Pixels of the third life's slot that are not the bare red bar.
int ThirdLifeCatPixels(const BmpPicture& screen)
{
    int cat = 0;
    for (int y = kLivesY; y < kLivesY + 16; ++y)
        for (int x = kThirdLifeX; x < kThirdLifeX + 16; ++x) cat += !(screen.At(x, y) == Colour{255, 0, 0});
    return cat;
}

TEST(RecordedPlayTest, ASessionThatTakesAFlagAndIsCaughtReplaysFrameByFrame)
{
    ScratchFolder folder;
    const std::string recording = folder.File("recording.txt");
    const std::string playedSums = folder.File("played.txt");
    Held up, caughtSpace;
    long caught = -1, escape = -1;
    {
        PrivateDisplay display;
        ASSERT_TRUE(display.Ready());
        ChildProcess child(BuildProgram("game/zorvelin"), {},
                           {"TMPDIR=" + folder.Path(), display.Env(), "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1",
                            "KV_INPUT_SCRIPT=", "KV_SEED=", "SDL_AUDIODRIVER=dummy", "KV_RECORD_INPUT=" + recording,
                            "KV_FRAME_CHECKSUMS=" + playedSums},
                           folder.File("played-stderr.txt"));
        LivePlayer player(display, recording, playedSums);
        // For failure messages: stops the game, then tells what it printed
        // and recorded.
        const auto ended = [&] { return child.Wait(std::chrono::seconds(1)).stderrText + ReadWholeFile(recording); };

        // The intro: 1 chooses the easy game. Then Space on "Level 1".
        ASSERT_GE(player.PressOnceTheWindowListens(kKeyOne, 5).to, 0) << ended();
        const Held levelSpace = player.HoldFor(kSpace, 3);
        ASSERT_GE(levelSpace.to, 0) << ended();
        ASSERT_TRUE(player.WaitForFrames(levelSpace.to + 5)) << ended();

        // Up to the top of the land, across flag d.
        up = player.HoldFor(kUp, kFramesUpToTheTop + 8);
        ASSERT_GE(up.Frames(), kFramesUpToTheTop) << ended();

        // Down into the guards' way: long holds while far off (shortened by
        // how late the last release came), single-frame taps near the goal.
        long down = 0, releaseLag = 2;
        for (int step = 0; step < 60; ++step) {
            const long missing = kFramesDownToTheGuards - down;
            if (std::labs(missing) <= kFramesDownTolerance) break;
            const Key& key = missing > 0 ? kDown : kUp;
            const long wanted = std::labs(missing) - releaseLag;
            const bool hold = wanted > kFramesDownTolerance + 1;
            const Held walked = hold ? player.HoldFor(key, wanted) : player.Tap(key);
            ASSERT_GE(walked.to, 0) << ended();
            if (hold) releaseLag = std::max(0L, walked.Frames() - wanted);
            down = std::max(0L, down + (missing > 0 ? walked.Frames() : -walked.Frames()));
        }
        ASSERT_LE(std::labs(kFramesDownToTheGuards - down), kFramesDownTolerance) << ended();

        // A guard passes the cat's place about every 120 frames (a patrol
        // there and back is 232); the caught screen then stands still until
        // Space. The timeout leaves room for a game slowed down by a busy
        // machine.
        caught = player.WaitForStillPicture(up.to, kStillFrames, std::chrono::seconds(90));
        ASSERT_GE(caught, 0) << "no guard caught the cat " << down << " frames below the top\n" << ended();
        caughtSpace = player.HoldFor(kSpace, 3);
        ASSERT_GE(caughtSpace.to, caught) << ended();

        // The level starts again; the cat stands at the start, then Escape.
        ASSERT_TRUE(player.WaitForFrames(caughtSpace.to + 5)) << ended();
        escape = player.Press(kEscape);
        ASSERT_GE(escape, 0) << ended();
        ChildResult played = child.Wait(std::chrono::seconds(60));
        ASSERT_TRUE(played.exited) << played.stderrText << ReadWholeFile(recording);
        EXPECT_EQ(played.exitCode, 0);
    }
    const std::string recorded = ReadWholeFile(recording);
    // The run's seed, the keys with what they typed, and the end.
    EXPECT_NE(recorded.find(" seed "), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 2 down 49\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 200 down 0\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 57 down 32\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" key 1 down 0\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find(" quit\n"), std::string::npos) << recorded;

    // The replay runs unpaced on the test's own display. Screenshot entries
    // added to the recording take pictures and change no input: before the
    // walk, on the caught screen and at the start again before Escape.
    const std::pair<long, std::string> shots[] = {
        {up.from - 1, "start.bmp"}, {caught + 10, "caught.bmp"}, {escape - 1, "again.bmp"}};
    const std::string script = folder.File("replay.txt");
    {
        std::vector<std::pair<long, std::string>> entries;  // frames must not go back in a script
        for (const std::string& line : CompleteLines(recording))
            entries.emplace_back(line[0] == '#' ? -1 : std::stol(line), line);
        for (const auto& [frame, name] : shots)
            entries.emplace_back(frame, std::to_string(frame) + " screenshot " + folder.File(name));
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::ofstream out(script);
        for (const auto& entry : entries) out << entry.second << "\n";
    }
    ChildProcess replay(BuildProgram("game/zorvelin"), {},
                        {"TMPDIR=" + folder.Path(), "KV_WINDOWED=1", "KV_NO_MESSAGEBOX=1", "KV_RECORD_INPUT=",
                         "KV_SEED=", "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_INPUT_SCRIPT=" + script,
                         "KV_FRAME_CHECKSUMS=" + folder.File("replayed.txt")},
                        folder.File("replayed-stderr.txt"));
    ChildResult replayed = replay.Wait(std::chrono::seconds(120));
    ASSERT_TRUE(replayed.exited) << replayed.stderrText;
    EXPECT_EQ(replayed.exitCode, 0) << replayed.stderrText;

    const std::vector<std::string> played = CompleteLines(playedSums);
    const std::vector<std::string> again = CompleteLines(folder.File("replayed.txt"));
    ASSERT_GT(static_cast<long>(played.size()), escape - 1) << "the played run shows every frame looked at";
    ASSERT_EQ(again.size(), played.size());
    for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(again[i], played[i]) << "frame " << i;

    // Each screenshot is the picture the played run showed at that frame.
    for (const auto& [frame, name] : shots)
        EXPECT_EQ(std::to_string(frame) + " " + FrameChecksum(folder.File(name)), played[frame]) << name;

    // Before the walk flag d stands and three lives show; after the catch
    // the level starts again with the flag taken and one life less.
    const BmpPicture start(folder.File("start.bmp")), caughtScreen(folder.File("caught.bmp")),
        restarted(folder.File("again.bmp"));
    EXPECT_EQ(PixelsUnlike(start, kFlagX, kFlagY, "flagge.bmp"), 0);
    EXPECT_GT(ThirdLifeCatPixels(start), 40);
    const BmpPicture large(MediaPath("font.bmp"));
    EXPECT_TRUE(TextShown(caughtScreen, large, "Du wurdest", 100, 100));
    EXPECT_TRUE(TextShown(caughtScreen, large, "gefangen", 100, 140));
    EXPECT_EQ(PixelsUnlike(restarted, kFlagX, kFlagY, "land.bmp"), 0);
    EXPECT_EQ(ThirdLifeCatPixels(restarted), 0);
}

}  // namespace
}  // namespace game_testing
