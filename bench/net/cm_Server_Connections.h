#pragma once

#include <cstdint>
#include <memory>

// One connected TCP peer of a server socket.
struct cm_Connection_Node {
    cm_Connection_Node* Next = nullptr;
    int Socket = -1;
    std::uint32_t IP = 0;   // network byte order
    std::uint16_t Port = 0; // host byte order
};

// The peers of a TCP server socket in order of registration, a singly linked list that
// callers walk with the cursor: for (Current = First; Current; Current = Current->Next).
// It owns its entries. Removing the entry under the cursor leaves the cursor null, so a walk
// never reaches a freed entry.
struct cm_Server_Connections {
    int Count = 0;
    cm_Connection_Node* First = nullptr;
    cm_Connection_Node* Last = nullptr;
    cm_Connection_Node* Current = nullptr;

    cm_Server_Connections() = default;
    cm_Server_Connections(const cm_Server_Connections&) = delete;
    cm_Server_Connections& operator=(const cm_Server_Connections&) = delete;
    ~cm_Server_Connections() { clear(); }

    cm_Connection_Node* findSocket(int socket) const;
    cm_Connection_Node* findPeer(std::uint32_t ip, std::uint16_t port) const;
    // The new entry goes last.
    cm_Connection_Node& append(int socket, std::uint32_t ip, std::uint16_t port);
    // Takes the entry of `socket` out of the list; null when there is none.
    std::unique_ptr<cm_Connection_Node> unlink(int socket);
    // Frees every entry; the registry stays, empty.
    void clear();
};
