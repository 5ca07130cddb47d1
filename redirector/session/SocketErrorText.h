#pragma once

// Plain English descriptions of the Winsock error numbers that the session's sockets report
// (platform/WinsockErrors.h maps errno to them). Pure function; any thread may call it.

#include <QString>

// Host-name look-ups that find nothing have no errno; they report this Winsock number.
inline constexpr int WsaHostNotFound = 11001;

QString socketErrorDescription(int number);
