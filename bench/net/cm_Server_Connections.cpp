#include "bench/net/cm_Server_Connections.h"

cm_Connection_Node* cm_Server_Connections::findSocket(int socket) const {
    for (cm_Connection_Node* node = First; node; node = node->Next)
        if (node->Socket == socket) return node;
    return nullptr;
}

cm_Connection_Node* cm_Server_Connections::findPeer(std::uint32_t ip, std::uint16_t port) const {
    for (cm_Connection_Node* node = First; node; node = node->Next)
        if (node->IP == ip && node->Port == port) return node;
    return nullptr;
}

cm_Connection_Node& cm_Server_Connections::append(int socket, std::uint32_t ip,
                                                  std::uint16_t port) {
    auto* node = new cm_Connection_Node{nullptr, socket, ip, port};
    if (Last)
        Last->Next = node;
    else
        First = node;
    Last = node;
    ++Count;
    return *node;
}

std::unique_ptr<cm_Connection_Node> cm_Server_Connections::unlink(int socket) {
    cm_Connection_Node* previous = nullptr;
    for (cm_Connection_Node* node = First; node; previous = node, node = node->Next) {
        if (node->Socket != socket) continue;
        (previous ? previous->Next : First) = node->Next;
        if (Last == node) Last = previous;
        if (Current == node) Current = nullptr;
        node->Next = nullptr;
        --Count;
        return std::unique_ptr<cm_Connection_Node>(node);
    }
    return nullptr;
}

void cm_Server_Connections::clear() {
    while (First) {
        cm_Connection_Node* next = First->Next;
        delete First;
        First = next;
    }
    Last = Current = nullptr;
    Count = 0;
}
