#pragma once

// The choices a serial device offers for its line, as ordered lists.

enum TBaudRate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

enum TParity { ptNoParity, ptOddParity, ptEvenParity, ptMarkParity, ptSpaceParity };

enum TStopBits { sbOneStopBit, sbOne_5_StopBits, sbTwoStopBit };

enum TFlowControl { fcNone, fcRtsCts, fcXonXoff, fcTranXonXoff, fcRtsCtsXonXoff };

// The rate each TBaudRate stands for, by ordinal.
constexpr int BaudRates[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                             19200, 38400, 56000, 57600, 115200, 128000, 256000};
