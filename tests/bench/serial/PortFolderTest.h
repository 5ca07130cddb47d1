#pragma once

// A temporary port folder named by COMPORTS_DIR for the duration of a test, with helpers that
// publish pseudo-terminals in it. Engines built inside the test resolve COMn through it.

#include "tests/bench/serial/PtyPair.h"
#include "tests/support/TempDir.h"

#include <QByteArray>
#include <QFile>

#include <memory>

class PortFolderTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_saved = qgetenv("COMPORTS_DIR");
        m_hadValue = qEnvironmentVariableIsSet("COMPORTS_DIR");
        qputenv("COMPORTS_DIR", QFile::encodeName(dir()));
    }
    void TearDown() override {
        if (m_hadValue)
            qputenv("COMPORTS_DIR", m_saved);
        else
            qunsetenv("COMPORTS_DIR");
    }

    // A new pair published as COMn.
    std::unique_ptr<PtyPair> publishPort(int portNo) {
        auto pair = std::make_unique<PtyPair>();
        EXPECT_TRUE(pair->isValid());
        EXPECT_TRUE(pair->linkAs(dir(), portNo));
        return pair;
    }

private:
    QByteArray m_saved;
    bool m_hadValue = false;
};
