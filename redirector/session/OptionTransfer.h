#pragma once

#include <QString>

#include <cstdint>

// The one record through which a session's nine option values travel between the session,
// its option dialogs and the session file: the session copies its values in, a dialog or the
// file code works on them, the session copies them back. A dialog that was cancelled leaves
// -1 in AllowMultiConnect (server options) or ClientOptions (client options), or sets
// LoginCancelled (login options). The values mean something only between the copy in and the
// copy out of one operation. GUI thread only; modal dialogs keep two operations apart.
struct OptionTransfer {
    std::int16_t AllowMultiConnect = 0;
    std::int16_t ServerSerialOptions = 0;
    std::int16_t ServerTCPOptions = 0;
    std::int16_t ClientOptions = 0;
    std::int16_t ConnectOnVirtualOpen = 0;
    QString UserPrompt;
    QString UserPromptResponse;
    QString PasswordPrompt;
    QString PasswordPromptResponse;
    bool LoginCancelled = false;

    // The program's record.
    static OptionTransfer& shared();
};
