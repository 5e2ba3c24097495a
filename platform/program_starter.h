#pragma once
// Starting an outside program without waiting for it.

#include <string>

namespace rs {

class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // True when the program was started.
    virtual bool start(const std::string& path) = 0;
};

}  // namespace rs
