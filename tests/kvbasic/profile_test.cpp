// `kvbasic run --profile`: the program's CPU time is sampled and, however
// the program ends, the report names the lines (file and line counted from
// 1, as error messages name them) and the SUBs that took it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace {

using namespace testing_support;

// The rows of the report's table under the heading that starts with
// `heading` (the column names left out), up to the next empty line.
std::vector<std::string> ReportRows(const std::string& report, const std::string& heading)
{
    std::vector<std::string> rows;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line) && line.rfind(heading, 0) != 0) {}
    std::getline(in, line);  // the column names
    while (std::getline(in, line) && !line.empty()) rows.push_back(line);
    return rows;
}

// The share in percent a row starts with ("  84.2 %  ...").
double Share(const std::string& row)
{
    return std::strtod(row.c_str(), nullptr);
}

// The SUB and FUNCTION rows without the main program's.
std::vector<std::string> SubRows(const std::vector<std::string>& rows)
{
    std::vector<std::string> subs;
    for (const std::string& row : rows)
        if (row.find("  main program") == std::string::npos) subs.push_back(row);
    return subs;
}

// Whether a row of the lines' table names this place, SUB and source text.
bool NamesLine(const std::string& row, const std::string& place, const std::string& routine, const std::string& text)
{
    const std::size_t at = row.find(" ms  " + place + " ");
    const std::size_t in = row.find(" " + routine + " ", at);
    return at != std::string::npos && in != std::string::npos && row.find(text, in) != std::string::npos;
}

class KvBasicProfileTest : public ::testing::Test {
protected:
    // Runs the folder's main.bas with --profile; the compiler's cache is
    // shared by the tests of this file.
    ChildResult Run(const std::vector<std::string>& files)
    {
        for (std::size_t k = 0; k + 1 < files.size(); k += 2) {
            std::filesystem::create_directories(std::filesystem::path(folder_.File(files[k])).parent_path());
            std::ofstream(folder_.File(files[k])) << files[k + 1];
        }
        const std::vector<std::string> env = {"TMPDIR=" + folder_.Path(),
                                              std::string("XDG_CACHE_HOME=") + KV_BUILD_DIR + "/profile-test-cache",
                                              "KV_UNPACED=1", "SDL_AUDIODRIVER=dummy", "KV_WINDOWED=1",
                                              "LP_NUM_THREADS=0", "KV_PROFILE="};
        ChildProcess kvbasic(BuildProgram("kvbasic"), {"run", "--profile", folder_.File("main.bas")}, env,
                             folder_.File("run.txt"));
        return kvbasic.Wait(std::chrono::seconds(240));
    }
    ScratchFolder folder_;
};

// A SUB that spends nearly all the CPU time in one line of a busy loop,
// and a cheap SUB called as often: the busy line and its SUB are first.
TEST_F(KvBasicProfileTest, TheBusyLineAndItsSubComeFirst)
{
    const ChildResult result = Run({"main.bas",
                                    "FOR k = 1 TO 2000\n"
                                    "  Busy\n"
                                    "  Cheap\n"
                                    "NEXT\n"
                                    "END\n"
                                    "\n"
                                    "SUB Cheap:\n"
                                    "  c = c + 1\n"
                                    "ENDSUB\n"
                                    "\n"
                                    "SUB Busy:\n"
                                    "  FOR i = 1 TO 4000\n"
                                    "    x = x + SIN(i) * COS(i) + SQR(i) / (1 + ABS(x))\n"
                                    "  NEXT\n"
                                    "ENDSUB\n"});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0) << result.stderrText;
    const std::string& report = result.stderrText;
    EXPECT_NE(report.find("Profile: "), std::string::npos) << report;
    EXPECT_NE(report.find(" samples of the main thread's CPU time, "), std::string::npos) << report;

    const std::vector<std::string> lines = ReportRows(report, "Lines taking the most time");
    ASSERT_FALSE(lines.empty()) << report;
    EXPECT_LE(lines.size(), 20u);
    EXPECT_TRUE(NamesLine(lines[0], "main.bas:13", "SUB Busy", "x = x + SIN(i)")) << report;
    EXPECT_GT(Share(lines[0]), 70) << report;

    const std::vector<std::string> routines = ReportRows(report, "SUBs and FUNCTIONs taking the most time");
    ASSERT_GE(routines.size(), 2u) << report;
    EXPECT_LE(routines.size(), 10u);
    // The main program holds every call: all the time in total, first.
    EXPECT_NE(routines[0].find("100.0 %"), std::string::npos) << report;
    EXPECT_NE(routines[0].find("  main program"), std::string::npos) << report;
    // Busy is ranked first among the SUBs, by its total and its self time.
    const std::vector<std::string> subs = SubRows(routines);
    ASSERT_FALSE(subs.empty()) << report;
    EXPECT_NE(subs[0].find("  SUB Busy"), std::string::npos) << report;
    EXPECT_GT(Share(subs[0]), 90) << report;
    EXPECT_GT(Share(subs[0].substr(subs[0].find(" ms ") + 4)), 90) << report;
    for (const std::string& row : routines) {
        if (row.find("SUB Cheap") != std::string::npos) {
            EXPECT_LT(Share(row), 10) << report;
        }
    }
}

// A SUB of an INCLUDEd file burns the time, then a runtime error ends the
// program: the error comes first, the report still follows, naming the
// included file and its line.
TEST_F(KvBasicProfileTest, ARuntimeErrorStillGivesTheReportWithTheIncludedFile)
{
    const ChildResult result = Run({"main.bas",
                                    "INCLUDE \"lib/work.bas\"\n"
                                    "FOR k = 1 TO 1500\n"
                                    "  Work\n"
                                    "NEXT\n"
                                    "DIM a[2]\n"
                                    "a[5] = 1\n"
                                    "END\n",
                                    "lib/work.bas",
                                    "' the costly part\n"
                                    "SUB Work:\n"
                                    "  FOR i = 1 TO 4000\n"
                                    "    x = x + SIN(i) * COS(i) + SQR(i) / (1 + ABS(x))\n"
                                    "  NEXT\n"
                                    "ENDSUB\n"});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 1) << result.stderrText;
    const std::string& report = result.stderrText;
    const std::size_t error = report.find("main.bas:6: runtime error 9: array index out of bounds\n");
    const std::size_t profile = report.find("Profile: ");
    ASSERT_NE(error, std::string::npos) << report;
    ASSERT_NE(profile, std::string::npos) << report;
    EXPECT_LT(error, profile) << report;

    const std::vector<std::string> lines = ReportRows(report, "Lines taking the most time");
    ASSERT_FALSE(lines.empty()) << report;
    EXPECT_TRUE(NamesLine(lines[0], "lib/work.bas:4", "SUB Work", "x = x + SIN(i)")) << report;
    EXPECT_GT(Share(lines[0]), 70) << report;
    const std::vector<std::string> routines = ReportRows(report, "SUBs and FUNCTIONs taking the most time");
    ASSERT_FALSE(SubRows(routines).empty()) << report;
    EXPECT_NE(SubRows(routines)[0].find("  SUB Work"), std::string::npos) << report;
}

}  // namespace
