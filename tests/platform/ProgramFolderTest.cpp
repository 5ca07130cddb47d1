#include "platform/ProgramFolder.h"

#include "tests/support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(ProgramFolderTest, ChoosesExecutableFolderOnlyWhenWritable) {
    const struct {
        const char* executableFolder;
        bool writable;
        const char* configHome;
        const char* expected;
    } cases[] = {
        {"/opt/tavrin", true, "/home/u/.config", "/opt/tavrin"},
        {"/opt/tavrin/", true, "/home/u/.config", "/opt/tavrin"},
        {"/usr/bin", false, "/home/u/.config", "/home/u/.config/tavrin"},
        {"/usr/bin", false, "/xdg/", "/xdg/tavrin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executableFolder + std::string(c.writable ? " writable" : " read-only"));
        EXPECT_EQ(ProgramFolder::choose(c.executableFolder, c.writable, c.configHome, "tavrin"),
                  c.expected);
    }
}

class ProgramFolderSystemTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        m_saved = qgetenv("XDG_CONFIG_HOME");
        m_wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("config")));
    }
    void TearDown() override {
        if (m_wasSet)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

private:
    QByteArray m_saved;
    bool m_wasSet = false;
};

TEST_F(ProgramFolderSystemTest, UsesWritableExecutableFolderAsItIs) {
    EXPECT_EQ(ProgramFolder::forExecutableFolder(dir(), "norvex"), QDir::cleanPath(dir()));
    EXPECT_FALSE(QFileInfo::exists(path("config")));
}

TEST_F(ProgramFolderSystemTest, CreatesConfigFolderWhenExecutableFolderIsUnusable) {
    // Root may write to any existing folder; a missing one is unwritable for everyone.
    const QString folder = ProgramFolder::forExecutableFolder(path("missing"), "norvex");
    EXPECT_EQ(folder, path("config/norvex"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

} // namespace
