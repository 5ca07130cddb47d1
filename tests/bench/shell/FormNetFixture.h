#pragma once

#include "bench/shell/Unitnet.h"
#include "platform/ScriptedPrompts.h"
#include "platform/ScriptedShell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

// A bench window on the offscreen platform with scripted prompts and shell. Closing it at the
// end answers its quit question.
class FormNetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        settingsPath = folder.filePath(QStringLiteral("tavrin.cfg"));
        // Serial ports resolve through a port folder of the test's own.
        portFolder = folder.filePath(QStringLiteral("comports"));
        QDir().mkpath(portFolder);
        qputenv("COMPORTS_DIR", QFile::encodeName(portFolder));
        start();
    }
    // Opens a window the way the program does; an earlier one closes first.
    void start() {
        if (form && form->isVisible()) {
            prompts.setNextAnswer(Prompts::IdYes);
            form->close();
        }
        form = std::make_unique<TFormNet>(BenchServices{prompts, shell, guidePath, settingsPath});
        form->show();
    }
    void TearDown() override {
        qunsetenv("COMPORTS_DIR");
        if (form->isVisible()) {
            prompts.setNextAnswer(Prompts::IdYes);
            form->close();
        }
    }

    QTemporaryDir folder;
    QString settingsPath;
    QString portFolder;
    QString guidePath = QStringLiteral("/nonexistent/tavrin.md");
    ScriptedPrompts prompts;
    ScriptedShell shell;
    std::unique_ptr<TFormNet> form;
};
