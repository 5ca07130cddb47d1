#pragma once

#include "redirector/session/SocketControl.h"

#include <QObject>

#include <memory>
#include <vector>

// The session's socket array Winsock1: element 0 exists from the start, further elements are
// loaded on demand and never removed. A loaded element starts with the settings element 0 was
// created with (TCP, no remote host, ports 0). The elements' events are raised here, each
// with its element's index. GUI thread only.
class SocketArray : public QObject {
    Q_OBJECT
public:
    explicit SocketArray(QObject* parent = nullptr);
    ~SocketArray() override;

    // Element `index`, 0 to count() - 1.
    SocketControl& operator[](int index) { return *m_elements.at(static_cast<std::size_t>(index)); }
    int count() const { return static_cast<int>(m_elements.size()); }
    // Loads the next element (index count()) and returns it.
    SocketControl& load();

Q_SIGNALS:
    void Connect(int Index);
    void ConnectionRequest(int Index, int requestID);
    void DataArrival(int Index, int bytesTotal);
    void Close(int Index);
    void Error(int Index, qint16 Number, const QString& Description);

private:
    std::vector<std::unique_ptr<SocketControl>> m_elements;
};
