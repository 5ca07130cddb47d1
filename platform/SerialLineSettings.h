#pragma once

// The line settings of a serial port in the terms termios knows. A plain value: copy it freely.

enum class SerialParity { None, Odd, Even, Mark, Space };

// One and a half stop bits have no termios form; ports open them as two.
enum class SerialStopBits { One, OneAndHalf, Two };

struct SerialLineSettings {
    int baudRate = 115200; // any positive rate; those outside the Bxxx table go through BOTHER
    int dataBits = 8;      // 5 to 8
    SerialParity parity = SerialParity::None;
    SerialStopBits stopBits = SerialStopBits::One;
    bool rtsCts = false;    // hardware handshake both ways
    bool xonOutput = false; // stop sending on XOFF from the peer
    bool xonInput = false;  // send XOFF when our input fills
    unsigned char xonChar = 0x11;
    unsigned char xoffChar = 0x13;
};
