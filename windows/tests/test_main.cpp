// The Windows platform's test program. Started with --print-words (by the
// program tests) it prints each further word of its command line in
// brackets, one a line, as its C runtime parsed them, and ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--print-words") == 0) {
        for (int i = 2; i < argc; ++i) std::printf("[%s]\n", argv[i]);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
