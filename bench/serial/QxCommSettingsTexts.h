#pragma once

// The captions, list items and messages of the serial settings dialog, in the serial
// library's three languages, by the index its form uses; and the dialog's font per language.

#include "platform/SystemLanguage.h"

#include <QFont>
#include <QString>

namespace QxCommSettingsTexts {

enum Index : int {
    Ok = 0,
    Cancel = 1,
    Caption = 2,
    PortLabel = 3,
    BaudLabel = 4,
    ParityLabel = 5,
    ByteSizeLabel = 6,
    StopBitsLabel = 7,
    FlowLabel = 8,
    NoParityItem = 9,  // 9-12 and SpaceParityItem are the parity list in TParity order
    FlowNoneItem = 13, // 13-16 are the flow control list
    NoPortSelected = 17,
    NoBaudSelected = 18,
    NoByteSizeSelected = 20,
    NoParitySelected = 21,
    NoStopBitsSelected = 22,
    NoFlowSelected = 23,
    AboutButton = 24,
    DefaultButton = 25,
    PortGroup = 26,
    ModemGroup = 27,
    BufferGroup = 28,
    AutoAnswerLabel = 29,
    InBufLabel = 30,
    OutBufLabel = 31,
    BadAutoAnswer = 32,
    BadInBufSize = 33,
    BadOutBufSize = 34,
    SpaceParityItem = 35,
};

// Index 0-35; empty text outside.
QString text(int index, SystemLanguage language);
QFont font(SystemLanguage language);
// The language of the serial library's own texts, read from the system once per process.
SystemLanguage processLanguage();

} // namespace QxCommSettingsTexts
