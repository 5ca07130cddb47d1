#pragma once

// Filling a session's local-address list with this machine's own IPv4 addresses. The
// look-up of the host name blocks; it runs once when a session window opens.

class QComboBox;

// Whether the sockets layer is usable for LocalAddressList. Sockets need no start-up here,
// so they always are, and there is nothing to stop afterwards.
bool WinsockReady();

// Adds one dotted address per local address to the end of the box's list, in the order the
// host's addresses come (see HostAddresses::localIPv4Addresses). The box keeps its items, its
// current entry and its edit text, and emits no signals for the additions. Nothing is added,
// and nothing reported, when the addresses cannot be found; a null box is ignored.
void LocalAddressList(QComboBox* box);
