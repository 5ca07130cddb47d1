#pragma once

// The numbers the serial library shares with its callers: event bits passed to CommNotify,
// modem status bits, the EscapeCommFunction codes and the modem's &K flow-control codes.

#include <cstdint>

namespace ZaldoComm32 {

constexpr int EV_RXCHAR = 0x0001;
constexpr int EV_RXFLAG = 0x0002;
constexpr int EV_TXEMPTY = 0x0004;
constexpr int EV_CTS = 0x0008;
constexpr int EV_DSR = 0x0010;
constexpr int EV_RLSD = 0x0020;
constexpr int EV_ERR = 0x0080; // here: the device went away (hang-up, unplugged adapter)
constexpr int EV_RING = 0x0100;
constexpr int EV_RX80FULL = 0x0400;
constexpr int EV_MODEM_LINES = EV_CTS | EV_DSR | EV_RLSD; // 0x38, sent on open and close

constexpr std::uint32_t MS_CTS_ON = 0x10;
constexpr std::uint32_t MS_DSR_ON = 0x20;
constexpr std::uint32_t MS_RING_ON = 0x40;
constexpr std::uint32_t MS_RLSD_ON = 0x80;

constexpr std::uint32_t SETRTS = 3;
constexpr std::uint32_t CLRRTS = 4;
constexpr std::uint32_t SETDTR = 5;
constexpr std::uint32_t CLRDTR = 6;

constexpr std::uint8_t DTR_CONTROL_DISABLE = 0;
constexpr std::uint8_t DTR_CONTROL_ENABLE = 1;
constexpr std::uint8_t DTR_CONTROL_HANDSHAKE = 2;
constexpr std::uint8_t RTS_CONTROL_DISABLE = 0;
constexpr std::uint8_t RTS_CONTROL_ENABLE = 1;
constexpr std::uint8_t RTS_CONTROL_HANDSHAKE = 2;
constexpr std::uint8_t RTS_CONTROL_TOGGLE = 3;

} // namespace ZaldoComm32
