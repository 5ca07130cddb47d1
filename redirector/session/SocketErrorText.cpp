#include "redirector/session/SocketErrorText.h"

#include <utility>

namespace {

constexpr std::pair<int, const char*> Descriptions[] = {
    {10004, "The operation was interrupted"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open sockets"},
    {10035, "The operation would block"},
    {10037, "An operation is already in progress"},
    {10038, "The descriptor is not a socket"},
    {10039, "A destination address is required"},
    {10040, "The message is too long"},
    {10041, "Wrong protocol type for this socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on this socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by the protocol"},
    {10048, "Address in use"},
    {10049, "Address not available from the local machine"},
    {10050, "The network is down"},
    {10051, "The network is unreachable"},
    {10052, "The network dropped the connection on reset"},
    {10053, "The connection was aborted by this machine"},
    {10054, "The connection was reset by the remote side"},
    {10055, "No buffer space is available"},
    {10056, "The socket is already connected"},
    {10057, "The socket is not connected"},
    {10058, "The socket has been shut down"},
    {10060, "The connection timed out"},
    {10061, "The connection was refused by the remote host"},
    {10064, "The remote host is down"},
    {10065, "No route to the remote host"},
    {WsaHostNotFound, "Host not found"},
};

} // namespace

QString socketErrorDescription(int number) {
    for (const auto& [known, text] : Descriptions)
        if (known == number) return QString::fromLatin1(text);
    return QStringLiteral("Socket error %1").arg(number);
}
