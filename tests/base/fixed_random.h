#pragma once

#include <vector>

#include "base/random_generator.h"

namespace velmora::test {

// Hands out the given values in turn, repeating the last one.
class ScriptedRandom final : public RandomSource {
  public:
    explicit ScriptedRandom(std::vector<int> values) : values_(std::move(values)) {}
    int next() override {
        const int value = values_[position_];
        if (position_ + 1 < values_.size()) ++position_;
        ++drawCount_;
        return value;
    }
    int drawCount() const { return drawCount_; }

  private:
    std::vector<int> values_;
    size_t position_ = 0;
    int drawCount_ = 0;
};

}  // namespace velmora::test
