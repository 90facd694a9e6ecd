#include "model/motion_effect.h"

#include <gtest/gtest.h>

#include "base/fixed_random.h"

namespace velmora {
namespace {

TEST(MotionEffect, DrawFromCategory) {
    struct Case {
        int category, rand, expected, draws;
    };
    const Case cases[] = {
        {0, 32767, 20, 0}, {1, 32767, 7, 1}, {1, 0, 0, 1},      {1, 4095, 1, 1},
        {2, 32767, 17, 1}, {2, 1820, 1, 1},  {3, 32767, 19, 1}, {3, 1637, 0, 1},
        {3, 1638, 1, 1},   {7, 0, 7, 0},     {20, 0, 20, 0},    {-1, 0, 20, 0},
    };
    for (const Case& c : cases) {
        test::ScriptedRandom random({c.rand});
        EXPECT_EQ(int(drawMotionEffect(c.category, random)), c.expected)
            << "category " << c.category;
        EXPECT_EQ(random.drawCount(), c.draws) << "category " << c.category;
    }
}

TEST(MotionEffect, Names) {
    EXPECT_EQ(motionEffectNames()[0], "pan from left to right");
    EXPECT_EQ(motionEffectNames()[18], "zoom in and rotate");
    EXPECT_EQ(motionEffectNames()[20], "none");
    EXPECT_EQ(motionEffectNames()[21], "random");
    EXPECT_EQ(motionCategoryNames()[3], "Pan/Zoom/Rotate");
}

}  // namespace
}  // namespace velmora
