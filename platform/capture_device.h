#pragma once
// The capture device as the screens command it: the list of devices, the
// preview, the device's own frame rate. The start-up sequence prepares the
// main screen's capture controls through it.

#include <string>
#include <vector>

namespace rs {

class CaptureDevice {
  public:
    virtual ~CaptureDevice() = default;
    virtual std::vector<std::string> devices() const = 0;
    virtual bool previewing() const = 0;
    virtual void set_preview(bool on) = 0;
    // Frames per second the connected device delivers; 0 when none is.
    virtual double native_frame_rate() const = 0;
};

// No capture device at all: an empty list, no preview, no frame rate.
class NoCaptureDevice final : public CaptureDevice {
  public:
    std::vector<std::string> devices() const override { return {}; }
    bool previewing() const override { return false; }
    void set_preview(bool) override {}
    double native_frame_rate() const override { return 0; }
};

}  // namespace rs
