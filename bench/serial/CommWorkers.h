#pragma once

// What an open engine runs: its three worker threads and the events that wake them. Lives
// from Open to Close; only the engine touches it.

#include "bench/serial/CommEvent.h"
#include "bench/serial/Tcomm32.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace ZaldoComm32 {

struct TComm32::Workers {
    CommEvent readWake;  // stop, or room in the input queue
    CommEvent writeWake; // stop, or bytes to send
    CommEvent timerWake; // stop
    std::thread reader;
    std::thread writer;
    std::thread timer;

    // The alive flag is raised before the thread exists so that Close always waits for it.
    template <typename Body>
    static bool start(std::thread& thread, std::atomic<bool>& run, std::atomic<bool>& alive,
                      Body body) {
        run = true;
        alive = true;
        try {
            thread = std::thread(body);
            return true;
        } catch (const std::system_error&) {
            run = false;
            alive = false;
            return false;
        }
    }

    void join() {
        for (std::thread* thread : {&reader, &writer, &timer})
            if (thread->joinable()) thread->join();
    }
};

} // namespace ZaldoComm32
