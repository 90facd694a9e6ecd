#pragma once

#include <cstdint>

namespace velmora {

// Where random choices come from: values 0..32767, like the classic C rand().
// Every random draw of the program takes one of these as a parameter, so a
// test can hand in exactly the values it wants.
class RandomSource {
  public:
    static constexpr int kMax = 32767;

    virtual ~RandomSource() = default;
    virtual int next() = 0;
};

// The program's generator: the classic 15-bit linear congruential generator
// (x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF). The standard
// library's rand() is not used because glibc's returns 31 bits.
// Not thread-safe: one owner draws from it.
class RandomGenerator final : public RandomSource {
  public:
    explicit RandomGenerator(uint32_t seed = 1) : state_(seed) {}

    // Seeds from the current time; done once per run by the project.
    static RandomGenerator seededFromClock();

    void seed(uint32_t seed) { state_ = seed; }
    int next() override {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    uint32_t state_;
};

// A draw of the form rand() / divisor + offset, folded into [minimum, maximum]:
// the top quotient, which only the last few values of rand() reach, becomes
// the last valid value, and a quotient below the range becomes its first.
int drawInRange(RandomSource& random, int divisor, int offset, int minimum, int maximum);

}  // namespace velmora
