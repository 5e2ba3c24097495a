#pragma once
// Starting an outside program through Qt.

#include <string>

#include "platform/program_starter.h"

namespace rs {

class QtProgramStarter final : public ProgramStarter {
  public:
    bool start(const std::string& path) override;
};

}  // namespace rs
