#pragma once

// The serial library's exception, raised only when a port is opened or closed (and when a
// queue cannot be resized): a code from 1 to 14 and its text in the system's language, chosen
// once per process from the locale. Immutable once built; safe to copy across threads.

#include "platform/SystemLanguage.h"

#include <QString>

#include <cstdint>
#include <stdexcept>

namespace ZaldoComm32 {

class EComm32Error : public std::runtime_error {
public:
    enum TErrorCode : std::uint8_t {
        OutOfMemory = 1,
        ReadBufferInit = 2,
        WriteBufferInit = 3,
        OpenPort = 4,
        SetCommMask = 5,
        SetupComm = 6,
        GetCommState = 7,
        SetCommState = 8,
        ReadEvent = 9,
        WriteEvent = 10,
        ReadThread = 11,
        WriteThread = 12,
        CloseReadThread = 13,
        CloseWriteThread = 14,
    };

    explicit EComm32Error(std::uint8_t code);

    std::uint8_t ErrorCode() const { return m_code; }
    QString Message() const { return QString::fromUtf8(what()); }

    // The text for a code in one language; the unknown-error text outside 1-14.
    static QString text(std::uint8_t code, SystemLanguage language);

private:
    std::uint8_t m_code = 0;
};

} // namespace ZaldoComm32
