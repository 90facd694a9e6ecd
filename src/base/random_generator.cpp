#include "base/random_generator.h"

#include <algorithm>
#include <chrono>

namespace velmora {

RandomGenerator RandomGenerator::seededFromClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return RandomGenerator(
        static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count()));
}

int drawInRange(RandomSource& random, int divisor, int offset, int minimum, int maximum) {
    return std::clamp(random.next() / divisor + offset, minimum, maximum);
}

}  // namespace velmora
