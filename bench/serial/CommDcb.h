#pragma once

// The line settings record the serial library keeps and its callers edit field by field,
// and its translation into termios terms. A plain value; not shared between threads.

#include "platform/SerialLineSettings.h"

#include <cstdint>
#include <optional>

namespace ZaldoComm32 {

struct DCB {
    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 115200;
    std::uint8_t fBinary = 1;
    std::uint8_t fParity = 0; // input parity checking; never set
    std::uint8_t fOutxCtsFlow = 0;
    std::uint8_t fOutxDsrFlow = 0; // no termios counterpart; kept for callers
    std::uint8_t fDtrControl = 1;  // 0 disable, 1 enable, 2 handshake
    std::uint8_t fDsrSensitivity = 0;
    std::uint8_t fTXContinueOnXoff = 0;
    std::uint8_t fOutX = 0;
    std::uint8_t fInX = 0;
    std::uint8_t fErrorChar = 0;
    std::uint8_t fNull = 0;
    std::uint8_t fRtsControl = 1; // 0 disable, 1 enable, 2 handshake, 3 toggle
    std::uint8_t fAbortOnError = 0;
    std::uint16_t XonLim = 2048;
    std::uint16_t XoffLim = 512;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    char XonChar = 0x11;
    char XoffChar = 0x13;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

// The termios view of the record: RTS/CTS from fOutxCtsFlow, IXON from fOutX, IXOFF from
// fInX. Nothing when a field is out of range (parity above 4, stop bits above 2, a rate of 0,
// data bits outside 5-8), which the port refuses as a settings error.
std::optional<SerialLineSettings> lineSettingsOf(const DCB& dcb);

} // namespace ZaldoComm32
