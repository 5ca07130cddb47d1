#pragma once

// The frame bytes and the double-mark option of a package layer, as one object a device
// publishes. Reads and writes go straight to the layer; use it on the caller's thread.

#include <cstdint>

namespace ZaldoComm32 {

class TCommPackage;

class TQxCommFrameSettings {
public:
    explicit TQxCommFrameSettings(TCommPackage& package) : m_package(package) {}
    virtual ~TQxCommFrameSettings() = default;
    TQxCommFrameSettings(const TQxCommFrameSettings&) = delete;
    TQxCommFrameSettings& operator=(const TQxCommFrameSettings&) = delete;

    std::uint8_t FrameHead() const;
    void SetFrameHead(std::uint8_t value);
    std::uint8_t FrameTail() const;
    void SetFrameTail(std::uint8_t value);
    std::uint8_t FrameCtrl() const;
    void SetFrameCtrl(std::uint8_t value);
    bool DoubleFrameMark() const;
    void SetDoubleFrameMark(bool on);

    // Copies the three frame bytes; the double-mark option stays this object's own.
    void Assign(const TQxCommFrameSettings& source);

private:
    TCommPackage& m_package;
};

} // namespace ZaldoComm32
