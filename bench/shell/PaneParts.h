#pragma once

// What the send and receive handlers need to know about one pane, so that one piece of code
// serves both panes; the window fills one of each per pane.

#include "bench/datapath/Codec.h"

#include <cstdint>
#include <functional>
#include <vector>

class BevelButton;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
class RadioGroup;
class ReceiveBox;
class SendBox;

// How a transport took a group: it went out (or waits whole in the transport's backlog), it
// failed for real (port closed, connection lost), or the target is wrong and the sender stops.
enum class GroupResult { Sent, Failed, Stop };

struct SendPane {
    bool serial = false;
    QPlainTextEdit* memo = nullptr;
    SendBox* box = nullptr;
    BevelButton* button = nullptr;
    QLabel* hint = nullptr;
    QCheckBox* fileInput = nullptr;
    QCheckBox* autoChecksum = nullptr;
    QCheckBox* clearAfterSend = nullptr;
    QCheckBox* sendAsHex = nullptr;
    QCheckBox* sendRecycled = nullptr;
    QLineEdit* intervalBox = nullptr;
    QFrame* checksumPanel = nullptr;
    RadioGroup* checksumGroup = nullptr;
    QLineEdit* fixChecksum = nullptr;
    QWidget* connectButton = nullptr;
    // The port's settings: locked while sending, free again only while the port is closed.
    std::vector<QWidget*> portControls;

    // The window's members for this pane.
    bool* sending = nullptr;
    std::int32_t* loopInterval = nullptr; // the send box loop's interval
    std::int32_t* fileInterval = nullptr; // the file sender's interval
    std::int32_t* checksumMode = nullptr;
    std::int32_t* fixedByte = nullptr;
    GroupBuffer group{};

    std::function<bool()> transportOpen;
    // Hands one group to the transport and counts what it took.
    std::function<GroupResult(const std::uint8_t* data, int len, bool fileSource)> send;
    // Waits, with the window working, until the transport took everything handed to it, the
    // pane stops sending or the transport closes: the pace of a slow peer.
    std::function<void()> waitHandedOver;
};

struct ReceivePane {
    ReceiveBox* view = nullptr; // over the pane's receive box
    QLabel* hint = nullptr;
    QCheckBox* fileOutput = nullptr;
    QCheckBox* autoReturn = nullptr;
    QCheckBox* showHex = nullptr;
    QCheckBox* pause = nullptr;
    bool redirected = false; // the box shows the redirection note
};
