#pragma once

// A session window created in a fresh port folder, its prompts scripted by the test.

#include "platform/ScriptedPrompts.h"
#include "redirector/session/frmDocument.h"
#include "tests/redirector/session/SessionTestSupport.h"

#include <QLabel>

#include <memory>

class SessionWindowTest : public PortFolderTest {
protected:
    void SetUp() override {
        PortFolderTest::SetUp();
        m_window = std::make_unique<frmDocument>(m_prompts);
    }
    void TearDown() override {
        m_window.reset();
        PortFolderTest::TearDown();
    }

    QString comStatus() const { return m_window->StatusBar1[0]->text(); }
    QString tcpStatus() const { return m_window->StatusBar1[1]->text(); }

    ScriptedPrompts m_prompts;
    std::unique_ptr<frmDocument> m_window;
};
