#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// An initialization file: "[Section]" headers and "key=value" lines in UTF-8, read and written
// with the rules of the Windows private-profile functions, so that files made by either side
// keep working:
// - section and key names compare without regard to case; names and values lose surrounding
//   blanks, and a value in matching double quotes is read without them;
// - the first of duplicate sections, and the first of duplicate keys in it, is the one used;
// - lines starting with ";" or "#", lines without "=", text before the first section and
//   anything unreadable are kept byte for byte and otherwise ignored;
// - a write updates the key's line in place, puts a new key after the last key line of its
//   section and a new section at the end, and creates the file when it is missing.
//
// The file is read once, when the object is made; reads are then answered from memory and every
// write replaces the whole file at once (temporary file, then rename) and updates the memory.
// Changes made by others after that are not seen, so make one object per load or save.
// One thread at a time.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    QString path() const { return m_path; }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    // The leading decimal number of the value, with an optional sign. A missing key, or a value
    // that does not start with a number or does not fit an int, gives the default.
    int readInt(const QString& section, const QString& key, int defaultValue) const;

    // Names as spelled in the file, in file order, each once.
    QStringList sectionNames() const;
    QStringList keyNames(const QString& section) const;

    // False when the file could not be replaced; errorText() then says so and the file and this
    // object are as they were. A value that would read back differently (surrounding blanks,
    // surrounding quotes) is written in quotes so that it survives. Writing the value a key
    // already holds leaves the file untouched.
    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInt(const QString& section, const QString& key, int value);
    // Removes the key's line; a key that is not there is not an error.
    bool removeKey(const QString& section, const QString& key);

    // "Unable to write to <path>" after a failed write, empty after a successful one.
    QString errorText() const { return m_errorText; }
    // Why the last write failed, in the system's words.
    QString errorDetail() const { return m_errorDetail; }

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray raw; // the line as it stands in the file, with its line end
        Kind kind = Kind::Other;
        QString name;  // section or key name
        QString value; // key value, blanks and quotes removed
    };
    // Only the first section of a name counts; its keys by folded name.
    struct Section {
        int header = -1;
        int lastKey = -1;
        QHash<QString, int> keys;
        QStringList keyNames;
    };

    static Line parseLine(QByteArray raw, bool first);
    void load();
    void index();
    const Line* findKey(const QString& section, const QString& key) const;
    bool replaceLines(std::vector<Line> lines);
    bool succeed();
    bool fail(const QString& detail);

    QString m_path;
    std::vector<Line> m_lines;
    QHash<QString, Section> m_sections;
    QStringList m_sectionNames;
    QByteArray m_lineEnd = "\n"; // new lines follow the file's own line ends
    QString m_loadError;         // set when an existing file could not be read: never overwrite it
    QString m_errorText;
    QString m_errorDetail;
};
