#pragma once

// Waits of the send loops that keep the window working: a nested event loop sleeps until its
// time is up or it is woken, so the window stays responsive and the CPU stays idle. GUI thread.

#include <functional>

namespace LoopWait {

// Runs a nested event loop until `done()` holds or `timeoutMs` passed (negative: no time
// limit). Pending events are handled at least once, even for a wait of 0 ms. done() is looked
// at first, when the time is up and after every wake(). Returns done().
bool until(const std::function<bool()>& done, int timeoutMs = -1);

// Makes every wait in progress look at its condition again; call it after changing something a
// condition reads (a sending flag, a drained backlog, a closed transport).
void wake();

} // namespace LoopWait
