#pragma once

// A bench window as the program shows it (offscreen), with its settings and port folder in a
// temporary folder, and the measuring tools the data path benchmarks share.

#include "bench/shell/Unitnet.h"
#include "platform/ScriptedPrompts.h"
#include "platform/ScriptedShell.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdint>
#include <memory>

class BenchWindow {
public:
    BenchWindow();
    ~BenchWindow();

    // The network pane as a TCP server on 127.0.0.1; returns the port it listens on.
    std::uint16_t listen();
    // The network pane as a TCP client of 127.0.0.1:port.
    void connectTo(std::uint16_t port);
    // The serial pane open on a new pseudo-terminal (COM2); returns the far end's descriptor.
    int openSerial();

    QTemporaryDir folder;
    ScriptedPrompts prompts;
    ScriptedShell shell;
    std::unique_ptr<TFormNet> form;

private:
    int m_master = -1;
    int m_slave = -1;
};

// The longest lateness of a 10 ms timer while it runs: how long the event loop stalled.
class StallMeter {
public:
    StallMeter();
    double worstMs() const { return m_worstNs / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_worstNs = 0;
};

// Runs the event loop until `done` holds or `timeoutMs` passed; true when it held.
bool runUntil(const std::function<bool()>& done, int timeoutMs);
// Peak resident memory of this process in MB.
double peakMemoryMB();
// CPU time of this process (user and system) in seconds.
double cpuSeconds();
// Printable text of `count` bytes: lines of 63 characters and a line feed.
QByteArray textBytes(qsizetype count);
// Writes all of `bytes` to a blocking or non-blocking descriptor; false on an error.
bool writeAll(int fd, const char* bytes, qsizetype count);
