#pragma once

#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` has passed; true when it held.
// Every wait in the tests goes through here so that no test can hang.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Runs the event loop for about `ms` milliseconds (for asserting that nothing happens).
void pumpEvents(int ms);
