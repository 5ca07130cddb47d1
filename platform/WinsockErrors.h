#pragma once

// Winsock error numbers for BSD socket failures, so that code written against Winsock's
// numbers (tables of texts, number ranges) works unchanged on errno. Pure functions; any
// thread may call them.

namespace winsock {

constexpr int WsaEWouldBlock = 10035;
constexpr int WsaENotSock = 10038;
constexpr int WsaEMsgSize = 10040;

// The Winsock number for an errno value (EWOULDBLOCK and EINPROGRESS both give 10035, as a
// non-blocking Winsock call reports either). 0 stays 0; a value without a Winsock
// counterpart is returned unchanged.
int fromErrno(int err);

// fromErrno(errno): the failure of the socket call just made.
int lastError();

} // namespace winsock
