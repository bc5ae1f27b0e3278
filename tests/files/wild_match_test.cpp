#include <gtest/gtest.h>

#include "files/wild_match.h"

namespace {

TEST(WildMatch, QuestionMarkIsOneCharacterButNotADot)
{
    EXPECT_TRUE(szWildMatch("a?c", "abc"));
    EXPECT_FALSE(szWildMatch("a?c", "a.c"));
    EXPECT_FALSE(szWildMatch("a?c", "ac"));
    EXPECT_FALSE(szWildMatch("a?c", "abbc"));
    EXPECT_TRUE(szWildMatch("???", "xyz"));
}

TEST(WildMatch, LettersIgnoreCaseOtherCharactersDoNot)
{
    EXPECT_TRUE(szWildMatch("*.bmp", "B.BMP"));
    EXPECT_TRUE(szWildMatch("ABC", "abc"));
    EXPECT_FALSE(szWildMatch("a-b", "a_b"));
    EXPECT_FALSE(szWildMatch("abc", "abcd"));
    EXPECT_FALSE(szWildMatch("abcd", "abc"));
}

TEST(WildMatch, StarMatchesAnyRun)
{
    EXPECT_TRUE(szWildMatch("*", "anything.at.all"));
    EXPECT_TRUE(szWildMatch("*", ""));
    EXPECT_TRUE(szWildMatch("*.*", "name.txt"));
    EXPECT_TRUE(szWildMatch("*.*", ".hidden"));
    EXPECT_FALSE(szWildMatch("*.*", "README"));
    EXPECT_TRUE(szWildMatch("a***b", "ab"));
    EXPECT_TRUE(szWildMatch("a**", "a"));
    EXPECT_TRUE(szWildMatch("level*", "level12.dat"));
    EXPECT_FALSE(szWildMatch("", "x"));
    EXPECT_TRUE(szWildMatch("", ""));
}

TEST(WildMatch, BacktracksToTheLatestStar)
{
    // The first "b" after the star is a false start.
    EXPECT_TRUE(szWildMatch("*bc", "abbbc"));
    EXPECT_TRUE(szWildMatch("*a*b", "xaxxaab"));
    EXPECT_TRUE(szWildMatch("*.tar.gz", "x.tar.tar.gz"));
    EXPECT_FALSE(szWildMatch("*.tar.gz", "x.tar.gzip"));
    EXPECT_TRUE(szWildMatch("a*?c", "abbbc"));
    EXPECT_FALSE(szWildMatch("a*?c", "ac"));
    EXPECT_FALSE(szWildMatch("*x", "abc"));
}

}  // namespace
