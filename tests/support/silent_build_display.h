#pragma once

// A build display that shows nothing: for builds whose result is read from
// the disc they make.

#include <string_view>

#include "disc/build_job.h"

namespace velmora::test {

class SilentBuildDisplay final : public BuildDisplay {
  public:
    void setMainLabel(std::string_view) override {}
    void setDetailLabel(std::string_view) override {}
    void setMainBar(int) override {}
    void setDetailBar(int) override {}
    void buildStarted() override {}
    void buildEnded() override {}
};

}  // namespace velmora::test
