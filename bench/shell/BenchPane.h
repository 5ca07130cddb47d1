#pragma once

// The send and receive controls that the serial and the network pane both have, built by one
// routine so the twins stay alike. Each control is named after its pane's twin.

class BevelButton;
class LinkLabel;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QVBoxLayout;
class QWidget;
class RadioGroup;

struct BenchPane {
    enum Kind { Serial, Network };

    QVBoxLayout* settingsColumn = nullptr; // the port settings group goes first in it
    QVBoxLayout* sendArea = nullptr;       // below the receive area: [target row,] send row

    QGroupBox* recvOptions = nullptr;
    QCheckBox* fileOutput = nullptr;
    QCheckBox* autoReturn = nullptr;
    QCheckBox* showHex = nullptr;
    QCheckBox* pauseReceive = nullptr;
    LinkLabel* saveData = nullptr;
    LinkLabel* clearRecv = nullptr;

    QGroupBox* sendOptions = nullptr;
    QCheckBox* fileInput = nullptr;
    QCheckBox* autoChecksum = nullptr;
    QCheckBox* clearAfterSend = nullptr;
    QCheckBox* sendAsHex = nullptr;
    QCheckBox* sendRecycled = nullptr;
    QLineEdit* sendInterval = nullptr;
    LinkLabel* loadData = nullptr;
    LinkLabel* clearSend = nullptr;

    QGroupBox* recvArea = nullptr;
    QPlainTextEdit* textRecv = nullptr;
    QPlainTextEdit* hiddenText = nullptr;
    QFrame* checksumPanel = nullptr;
    RadioGroup* checksumGroup = nullptr;
    QLineEdit* fixChecksum = nullptr;

    QPlainTextEdit* memoSend = nullptr;
    BevelButton* sendButton = nullptr;

    QLabel* hintLabel = nullptr;
    QLabel* sendCounter = nullptr;
    QLabel* recvCounter = nullptr;
    QToolButton* resetCounter = nullptr;
};

// Builds the pane's common controls into `pane` (which gets a layout) with Chinese captions.
BenchPane buildBenchPane(QWidget* pane, BenchPane::Kind kind);
