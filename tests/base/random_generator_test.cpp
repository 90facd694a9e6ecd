#include "base/random_generator.h"

#include <gtest/gtest.h>

#include "base/fixed_random.h"

namespace velmora {
namespace {

TEST(RandomGenerator, ClassicFifteenBitSequence) {
    RandomGenerator random(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(random.next(), expected);
    }
    random.seed(1);
    EXPECT_EQ(random.next(), 41);
    for (int i = 0; i < 100000; ++i) {
        const int value = random.next();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RandomSource::kMax);
    }
}

TEST(RandomGenerator, DrawInRangeFoldsTheEnds) {
    struct Case {
        int rand, divisor, offset, minimum, maximum, expected;
    };
    const Case cases[] = {
        {32767, 10920, 0, 0, 2, 2},  {32759, 10920, 0, 0, 2, 2},  {21839, 10920, 0, 0, 2, 1},
        {32767, 4680, 4, 4, 10, 10}, {32759, 4680, 4, 4, 10, 10}, {4680, 4680, 4, 4, 10, 5},
        {0, 405, 0, 1, 80, 1},       {404, 405, 0, 1, 80, 1},     {810, 405, 0, 1, 80, 2},
        {32767, 405, 0, 1, 80, 80},
    };
    for (const Case& c : cases) {
        test::ScriptedRandom random({c.rand});
        EXPECT_EQ(drawInRange(random, c.divisor, c.offset, c.minimum, c.maximum), c.expected)
            << "rand " << c.rand << " / " << c.divisor;
    }
}

}  // namespace
}  // namespace velmora
