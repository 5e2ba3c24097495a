#pragma once
// The local date and time, injectable so that tests run at a fixed moment.

#include "core/text_forms.h"

namespace rs {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The machine's local time.
class SystemClock final : public Clock {
  public:
    DateTime now() const override;
};

// A clock that stands still until it is set; for tests and replays.
class FixedClock final : public Clock {
  public:
    explicit FixedClock(DateTime when) : when_(when) {}
    DateTime now() const override { return when_; }
    void set(DateTime when) { when_ = when; }

  private:
    DateTime when_;
};

}  // namespace rs
