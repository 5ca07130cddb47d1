#include "bench/serial/CommDcb.h"

namespace ZaldoComm32 {

std::optional<SerialLineSettings> lineSettingsOf(const DCB& dcb) {
    if (dcb.Parity > 4 || dcb.StopBits > 2 || dcb.ByteSize < 5 || dcb.ByteSize > 8 ||
        dcb.BaudRate == 0 || dcb.BaudRate > 0x7FFFFFFF)
        return std::nullopt;
    SerialLineSettings line;
    line.baudRate = static_cast<int>(dcb.BaudRate);
    line.dataBits = dcb.ByteSize;
    line.parity = static_cast<SerialParity>(dcb.Parity);
    line.stopBits = static_cast<SerialStopBits>(dcb.StopBits);
    line.rtsCts = dcb.fOutxCtsFlow != 0;
    line.xonOutput = dcb.fOutX != 0;
    line.xonInput = dcb.fInX != 0;
    line.xonChar = static_cast<unsigned char>(dcb.XonChar);
    line.xoffChar = static_cast<unsigned char>(dcb.XoffChar);
    return line;
}

} // namespace ZaldoComm32
