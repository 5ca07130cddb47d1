#include "redirector/session/SocketArray.h"

SocketArray::SocketArray(QObject* parent) : QObject(parent) {
    load();
}

SocketArray::~SocketArray() {
    // The owner is going away too: no event may reach it now.
    blockSignals(true);
}

SocketControl& SocketArray::load() {
    const int index = count();
    SocketControl& element = *m_elements.emplace_back(std::make_unique<SocketControl>(index));
    connect(&element, &SocketControl::Connect, this, &SocketArray::Connect);
    connect(&element, &SocketControl::ConnectionRequest, this, &SocketArray::ConnectionRequest);
    connect(&element, &SocketControl::DataArrival, this, &SocketArray::DataArrival);
    connect(&element, &SocketControl::Close, this, &SocketArray::Close);
    connect(&element, &SocketControl::Error, this, &SocketArray::Error);
    return element;
}
