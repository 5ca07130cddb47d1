#include "bench/serial/Tcommpkg.h"

namespace ZaldoComm32 {

std::uint8_t TQxCommFrameSettings::FrameHead() const {
    return m_package.FrameHead();
}
void TQxCommFrameSettings::SetFrameHead(std::uint8_t value) {
    m_package.SetFrameHead(value);
}
std::uint8_t TQxCommFrameSettings::FrameTail() const {
    return m_package.FrameTail();
}
void TQxCommFrameSettings::SetFrameTail(std::uint8_t value) {
    m_package.SetFrameTail(value);
}
std::uint8_t TQxCommFrameSettings::FrameCtrl() const {
    return m_package.FrameCtrl();
}
void TQxCommFrameSettings::SetFrameCtrl(std::uint8_t value) {
    m_package.SetFrameCtrl(value);
}
bool TQxCommFrameSettings::DoubleFrameMark() const {
    return m_package.DoubleFrameMark();
}
void TQxCommFrameSettings::SetDoubleFrameMark(bool on) {
    m_package.fSetDblFrameMark(on);
}

void TQxCommFrameSettings::Assign(const TQxCommFrameSettings& source) {
    SetFrameHead(source.FrameHead());
    SetFrameTail(source.FrameTail());
    SetFrameCtrl(source.FrameCtrl());
}

} // namespace ZaldoComm32
