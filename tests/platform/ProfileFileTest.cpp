#include "platform/ProfileFile.h"

#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat Stat(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

class ProfileFileTest : public TempDirTest {
protected:
    // A profile file at a fresh path holding `bytes`.
    QString Fixture(const QByteArray& bytes) {
        const QString file = path(QStringLiteral("settings.cfg"));
        WriteFile(file, bytes);
        return file;
    }
};

const QByteArray ReadCases = R"(; leading comment
orphan=before any section
[Options]
Name=plain
  Spaced Key  =   spaced value
Quoted=" keeps blanks "
HalfQuoted="open
Single='x'
Empty=
Dup=first
Dup=second
NoEquals
Num=42abc
Neg=-17
Plus=+5
QuotedNum="7"
Text=abc
Min=-2147483648
TooBig=2147483648
Huge=99999999999
Sign=-
[options]
Late=the second section of a name is ignored
[ Other Section ]
Key=other
; Hidden=a comment, not a key
)";

TEST_F(ProfileFileTest, ReadsStrings) {
    const ProfileFile file(Fixture(ReadCases));
    const struct {
        const char* section;
        const char* key;
        QString expected;
    } cases[] = {
        {"Options", "Name", "plain"},
        {"OPTIONS", "name", "plain"},
        {"  options ", " NAME\t", "plain"},
        {"Options", "spaced key", "spaced value"},
        {"Options", "Quoted", " keeps blanks "},
        {"Options", "HalfQuoted", "\"open"},
        {"Options", "Single", "'x'"},
        {"Options", "Empty", ""},
        {"Options", "Dup", "first"},
        {"Options", "NoEquals", "default"},
        {"Options", "Late", "default"},
        {"Options", "Hidden", "default"},
        {"Options", "orphan", "default"},
        {"other section", "KEY", "other"},
        {"Missing", "Name", "default"},
        {"Options", "Missing", "default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(file.readString(c.section, c.key, "default"), c.expected);
    }
}

TEST_F(ProfileFileTest, ReadsLeadingNumberOrDefault) {
    const ProfileFile file(Fixture(ReadCases));
    const struct {
        const char* key;
        int expected;
    } cases[] = {
        {"Num", 42},          {"Neg", -17}, {"Plus", 5},   {"QuotedNum", 7},
        {"Min", -2147483648}, {"Text", 99}, {"Empty", 99}, {"TooBig", 99},
        {"Huge", 99},         {"Sign", 99}, {"Name", 99},  {"Missing", 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(file.readInt("options", c.key, 99), c.expected);
    }
}

TEST_F(ProfileFileTest, ListsFirstSpellingOfEachNameInFileOrder) {
    const ProfileFile file(Fixture("[B]\nz=1\nY=2\nz=3\n[a]\n[b]\nw=4\n"));
    EXPECT_EQ(file.sectionNames(), QStringList({"B", "a"}));
    EXPECT_EQ(file.keyNames("b"), QStringList({"z", "Y"}));
    EXPECT_TRUE(file.keyNames("a").isEmpty());
    EXPECT_TRUE(file.keyNames("missing").isEmpty());
}

TEST_F(ProfileFileTest, MissingFileReadsDefaultsAndIsNotCreatedByReading) {
    const QString missing = path("missing.cfg");
    const ProfileFile file(missing);
    EXPECT_EQ(file.readString("Options", "Name", "dflt"), "dflt");
    EXPECT_EQ(file.readInt("Options", "Num", 7), 7);
    EXPECT_TRUE(file.sectionNames().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(ProfileFileTest, CreatesFileOnFirstWrite) {
    const QString created = path("new.vmr");
    ProfileFile file(created);
    ASSERT_TRUE(file.writeString("Velmar", "NumSessions", "2"));
    ASSERT_TRUE(file.writeInt("Session1", "TimeoutValue", -150));
    ASSERT_TRUE(file.writeString("Velmar", "Password", "secret"));
    EXPECT_EQ(file.errorText(), "");
    EXPECT_EQ(ReadFile(created),
              "[Velmar]\nNumSessions=2\nPassword=secret\n\n[Session1]\nTimeoutValue=-150\n");
    // The writing object sees its own writes, as does a fresh one.
    EXPECT_EQ(file.readInt("session1", "timeoutvalue", 0), -150);
    EXPECT_EQ(ProfileFile(created).readString("VELMAR", "password"), "secret");
}

// One file with everything a writer could disturb: comments, blank lines, unknown keys, odd
// spacing, duplicates, text before the first section and a second section of the same name.
const QByteArray Mixed = "; made by hand\n"
                         "stray=1\n"
                         "\n"
                         "[First]\n"
                         "  KeepMe = as is  \n"
                         "Name = old\n"
                         "\n"
                         "[Options]\n"
                         "Alpha=1\n"
                         "alpha=duplicate\n"
                         "Beta=2\n"
                         "\n"
                         "; trailing comment of Options\n"
                         "[options]\n"
                         "Delta=4\n"
                         "[Last]\n"
                         "Gamma=3";

TEST_F(ProfileFileTest, WritesChangeOnlyTheirOwnLine) {
    const struct {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        QByteArray expected;
    } cases[] = {
        {"update keeps the key's spelling and spacing", "first", "NAME", "new",
         QByteArray(Mixed).replace("Name = old\n", "Name = new\n")},
        {"update hits the first of duplicate keys", "OPTIONS", "ALPHA", "9",
         QByteArray(Mixed).replace("Alpha=1\n", "Alpha=9\n")},
        {"new key goes after the section's last key line", "Options", "Epsilon", "5",
         QByteArray(Mixed).replace("Beta=2\n", "Beta=2\nEpsilon=5\n")},
        {"a key of a later duplicate section is new to the first", "Options", "Delta", "6",
         QByteArray(Mixed).replace("Beta=2\n", "Beta=2\nDelta=6\n")},
        {"new key in an empty section goes after its header", "Empty", "k", "v",
         QByteArray(Mixed) + "\n\n[Empty]\nk=v\n"},
        {"update of the last line keeps its missing line end", "Last", "Gamma", "33",
         QByteArray(Mixed).replace("Gamma=3", "Gamma=33")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = Fixture(Mixed);
        ProfileFile profile(file);
        ASSERT_TRUE(profile.writeString(c.section, c.key, c.value));
        EXPECT_EQ(ReadFile(file), c.expected);
        EXPECT_EQ(ProfileFile(file).readString(c.section, c.key), c.value);
    }
}

TEST_F(ProfileFileTest, NewLinesFollowTheFileAndEndItsLastLine) {
    const QString file = Fixture("[A]\r\nx=1");
    ProfileFile profile(file);
    ASSERT_TRUE(profile.writeString("A", "y", "2"));
    ASSERT_TRUE(profile.writeString("B", "z", "3"));
    EXPECT_EQ(ReadFile(file), "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(ProfileFile(file).readString("A", "x"), "1");
}

TEST_F(ProfileFileTest, ValuesReadBackAsWritten) {
    const QString file = path("values.cfg");
    const QString values[] = {
        "plain",
        "",
        "  leading",
        "trailing\t",
        "\"quoted\"",
        "\"",
        "\"\"",
        "a = b ; c # d",
        "[not a section]",
        "中文 and ünïcode",
        QString("nul%1inside").arg(QChar(0)),
    };
    ProfileFile writer(file);
    for (size_t i = 0; i < std::size(values); ++i)
        ASSERT_TRUE(writer.writeString("S", QString("k%1").arg(i), values[i])) << i;
    const ProfileFile reader(file);
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(reader.readString("S", QString("k%1").arg(i), "missing"), values[i]) << i;
    // Quotes only where reading would otherwise change the value.
    EXPECT_TRUE(ReadFile(file).contains("\nk0=plain\nk1=\nk2=\"  leading\"\n"));
}

TEST_F(ProfileFileTest, UnchangedValueLeavesFileUntouched) {
    const QString file = Fixture("[S]\nk = v\n");
    // Replacing the file gives it a new inode.
    const ino_t before = Stat(file).st_ino;
    ProfileFile profile(file);
    EXPECT_TRUE(profile.writeString(" s ", "K", "v"));
    EXPECT_EQ(Stat(file).st_ino, before);
    EXPECT_TRUE(profile.writeString("S", "k", "w"));
    EXPECT_NE(Stat(file).st_ino, before);
}

TEST_F(ProfileFileTest, RefusesNamesAndValuesTheFileCannotHold) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"S", "k", "two\nlines"}, {"S", "k", "cr\ronly"}, {"S\n[X]", "k", "v"}, {"S", "a=b", "v"},
        {"S", "  ", "v"},         {"S", "[k]", "v"},      {"S", ";k", "v"},     {"S", "#k", "v"},
    };
    const QByteArray original = "[S]\nk=old\n";
    const QString file = Fixture(original);
    ProfileFile profile(file);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key + "/" + c.value);
        EXPECT_FALSE(profile.writeString(c.section, c.key, c.value));
        EXPECT_EQ(profile.errorText(), "Unable to write to " + file);
        EXPECT_FALSE(profile.errorDetail().isEmpty());
    }
    EXPECT_EQ(ReadFile(file), original);
    EXPECT_EQ(profile.readString("S", "k"), "old");
    // A good write afterwards clears the error.
    EXPECT_TRUE(profile.writeString("S", "k", "new"));
    EXPECT_EQ(profile.errorText(), "");
}

TEST_F(ProfileFileTest, UnwritablePlaceFailsWithItsPath) {
    // Root may write anywhere, so the unwritable places are ones no one can write.
    WriteFile(path("plain"), "not a folder");
    ASSERT_TRUE(QDir(dir()).mkdir("folder"));
    const QString places[] = {path("plain/settings.cfg"), path("folder"),
                              path("no/such/folder/settings.cfg")};
    for (const QString& place : places) {
        SCOPED_TRACE(place.toStdString());
        ProfileFile profile(place);
        EXPECT_FALSE(profile.writeString("Options", "sProtocol", "1"));
        EXPECT_EQ(profile.errorText(), "Unable to write to " + place);
        EXPECT_EQ(profile.readString("Options", "sProtocol", "none"), "none");
    }
    EXPECT_TRUE(QFileInfo(path("folder")).isDir());
    EXPECT_EQ(ReadFile(path("plain")), "not a folder");
}

TEST_F(ProfileFileTest, ReadOnlyFolderFailsAndKeepsFile) {
    const QString file = Fixture("[S]\nk=old\n");
    ASSERT_EQ(::chmod(QFile::encodeName(dir()).constData(), 0555), 0);
    if (::access(QFile::encodeName(dir()).constData(), W_OK) == 0) {
        ::chmod(QFile::encodeName(dir()).constData(), 0755);
        GTEST_SKIP() << "this user may write to read-only folders";
    }
    ProfileFile profile(file);
    EXPECT_FALSE(profile.writeString("S", "k", "new"));
    EXPECT_EQ(profile.errorText(), "Unable to write to " + file);
    ::chmod(QFile::encodeName(dir()).constData(), 0755);
    EXPECT_EQ(ReadFile(file), "[S]\nk=old\n");
}

TEST_F(ProfileFileTest, ReplacesFileWithoutLeavingTemporariesOrChangingMode) {
    const QString file = Fixture("[S]\nk=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);
    ProfileFile profile(file);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(profile.writeInt("S", QString("k%1").arg(i), i));
    ASSERT_TRUE(profile.removeKey("S", "k"));
    EXPECT_EQ(QDir(dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList("settings.cfg"));
    EXPECT_EQ(Stat(file).st_mode & 0777, 0600u);
    EXPECT_EQ(ReadFile(file), "[S]\nk0=0\nk1=1\nk2=2\nk3=3\nk4=4\n");
}

TEST_F(ProfileFileTest, WritesThroughALinkToItsTarget) {
    const QString target = Fixture("[S]\nk=1\n");
    const QString link = path("link.cfg");
    ASSERT_TRUE(QFile::link(target, link));
    ProfileFile profile(link);
    ASSERT_TRUE(profile.writeString("S", "k", "2"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(ReadFile(target), "[S]\nk=2\n");
}

TEST_F(ProfileFileTest, RemoveKeyDropsOnlyItsLine) {
    const QString file = Fixture(Mixed);
    ProfileFile profile(file);
    ASSERT_TRUE(profile.removeKey("options", "ALPHA"));
    EXPECT_EQ(ReadFile(file), QByteArray(Mixed).replace("Alpha=1\n", ""));
    // The duplicate is now the first of its name.
    EXPECT_EQ(profile.readString("Options", "Alpha"), "duplicate");
    EXPECT_TRUE(profile.removeKey("Options", "Missing"));
    EXPECT_TRUE(profile.removeKey("Missing", "Alpha"));
    EXPECT_EQ(ReadFile(file), QByteArray(Mixed).replace("Alpha=1\n", ""));
}

TEST_F(ProfileFileTest, MalformedFileReadsWhatItCanAndKeepsTheRest) {
    const QByteArray malformed = "\xEF\xBB\xBFKey=before\n"
                                 "[Unclosed\n"
                                 "]]]\n"
                                 "=no name\n"
                                 "[Options] trailing text\n"
                                 "bad\xFF\xFE=\x80\x81\n"
                                 "sProtocol=2\r\n"
                                 "\t\x01\x02 junk line\n"
                                 "[]\n"
                                 "=\n";
    const QString file = Fixture(malformed);
    ProfileFile profile(file);
    EXPECT_EQ(profile.readInt("Options", "sProtocol", 0), 2);
    EXPECT_EQ(profile.readString("Unclosed", "Key", "dflt"), "dflt");
    EXPECT_EQ(profile.readString("", "Key", "dflt"), "dflt");
    ASSERT_TRUE(profile.writeString("Options", "sProtocol", "4"));
    EXPECT_EQ(ReadFile(file), QByteArray(malformed).replace("sProtocol=2", "sProtocol=4"));
}

TEST_F(ProfileFileTest, BinaryFileReadsDefaultsAndAWriteOnlyAddsItsKey) {
    std::mt19937 random(1234);
    QByteArray binary(64 * 1024, '\0');
    for (char& byte : binary)
        byte = char(random());
    binary += "\n[Options]\nsProtocol=1"; // a key at the end without a line end
    const QString file = Fixture(binary);
    ProfileFile profile(file);
    EXPECT_EQ(profile.readInt("Options", "Missing", -5), -5);
    EXPECT_EQ(profile.readInt("Options", "sProtocol", 0), 1);
    ASSERT_TRUE(profile.writeString("Options", "LocalPort", "8080"));
    EXPECT_EQ(ReadFile(file), binary + "\nLocalPort=8080\n");
}

TEST_F(ProfileFileTest, OversizedOrSpecialFileReadsDefaultsAndIsNeverOverwritten) {
    const QString big = path("big.vmr");
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Velmar]\nNumSessions=3\n");
        ASSERT_TRUE(file.resize(100 * 1024 * 1024)); // sparse, so cheap
    }
    // A pipe would block a reader forever; a local one, so that a fault cannot hurt the system.
    const QString pipe = path("pipe.vmr");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    for (const QString& place : {big, pipe}) {
        SCOPED_TRACE(place.toStdString());
        ProfileFile profile(place);
        EXPECT_EQ(profile.readInt("Velmar", "NumSessions", 0), 0);
        EXPECT_FALSE(profile.writeString("Velmar", "NumSessions", "1"));
        EXPECT_EQ(profile.errorText(), "Unable to write to " + place);
    }
    EXPECT_EQ(QFileInfo(big).size(), 100 * 1024 * 1024);
    EXPECT_TRUE(S_ISFIFO(Stat(pipe).st_mode));
}

} // namespace
