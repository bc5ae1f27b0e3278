#include <gtest/gtest.h>
#include "core/kvstr.h"
TEST(Placeholder, Builds) { EXPECT_EQ(KvStr("a").Length(), 1); }
