#include "platform/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>
#include <utility>

namespace {

// A settings file is a few kilobytes; anything this large is some other file, not worth
// holding in memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
const QByteArray Utf8Bom = "\xEF\xBB\xBF";

// Names compare trimmed of blanks (the same blanks the file's lines lose) and case-folded.
QString fold(const QString& name) {
    return QString::fromUtf8(name.toUtf8().trimmed()).toCaseFolded();
}

bool isQuoted(const QByteArray& text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

QByteArray lineEndOf(const QByteArray& raw) {
    if (raw.endsWith("\r\n")) return "\r\n";
    return raw.endsWith('\n') ? "\n" : "";
}

// The key line up to its value: the bytes through "=" and the blanks after it, so that an
// update keeps the key's spelling and spacing.
QByteArray keyPrefix(const QByteArray& raw) {
    qsizetype at = raw.indexOf('=') + 1;
    while (at < raw.size() && (raw[at] == ' ' || raw[at] == '\t'))
        ++at;
    return raw.left(at);
}

// Quotes a value that would otherwise read back changed: blanks at either end are trimmed and
// one pair of surrounding quotes is removed on reading.
QByteArray encodeValue(const QByteArray& value) {
    if (value != value.trimmed() || isQuoted(value)) return '"' + value + '"';
    return value;
}

// Why the file cannot hold this name or value, or empty text when it can: a line break would
// start a new line, and a key that contains "=" or starts like a header or comment would read
// back as something else.
QString unfitReason(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    for (const QByteArray* text : {&section, &key, &value}) {
        if (text->contains('\n') || text->contains('\r'))
            return QStringLiteral("a section name, key or value holds a line break");
    }
    if (key.isEmpty()) return QStringLiteral("the key is empty");
    if (key.contains('=') || key.front() == '[' || key.front() == ';' || key.front() == '#')
        return QStringLiteral("the key \"%1\" cannot be stored").arg(QString::fromUtf8(key));
    return {};
}

} // namespace

ProfileFile::Line ProfileFile::parseLine(QByteArray raw, bool first) {
    Line line;
    line.raw = std::move(raw);
    QByteArray text =
        first && line.raw.startsWith(Utf8Bom) ? line.raw.mid(Utf8Bom.size()) : line.raw;
    text = text.trimmed();
    if (text.isEmpty() || text.front() == ';' || text.front() == '#') return line;
    if (text.front() == '[') {
        // The name ends at the last "]", so a name may hold one.
        const qsizetype close = text.lastIndexOf(']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = QString::fromUtf8(text.mid(1, close - 1).trimmed());
        }
        return line;
    }
    const qsizetype equals = text.indexOf('=');
    const QByteArray name = text.left(equals).trimmed();
    if (equals < 0 || name.isEmpty()) return line;
    QByteArray value = text.mid(equals + 1).trimmed();
    if (isQuoted(value)) value = value.mid(1, value.size() - 2);
    line.kind = Kind::Key;
    line.name = QString::fromUtf8(name);
    line.value = QString::fromUtf8(value);
    return line;
}

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {
    load();
    index();
}

void ProfileFile::load() {
    const QFileInfo info(m_path);
    if (!info.exists()) return;
    if (!info.isFile()) {
        m_loadError = QStringLiteral("it is not a regular file");
        return;
    }
    if (info.size() > MaxFileSize) {
        m_loadError = QStringLiteral("the file is too large to be a settings file");
        return;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_loadError = QStringLiteral("the file could not be read: ") + file.errorString();
        return;
    }
    const QByteArray data = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || data.size() > MaxFileSize) {
        m_loadError = QStringLiteral("the file could not be read: ") + file.errorString();
        return;
    }
    const qsizetype firstEnd = data.indexOf('\n');
    if (firstEnd > 0 && data[firstEnd - 1] == '\r') m_lineEnd = "\r\n";
    for (qsizetype start = 0; start < data.size();) {
        const qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        m_lines.push_back(parseLine(data.mid(start, next - start), start == 0));
        start = next;
    }
}

void ProfileFile::index() {
    m_sections.clear();
    m_sectionNames.clear();
    QString current; // folded name of the section being read; null inside ignored sections
    for (int i = 0; i < int(m_lines.size()); ++i) {
        const Line& line = m_lines[size_t(i)];
        if (line.kind == Kind::Section) {
            current = fold(line.name);
            if (m_sections.contains(current)) {
                current = QString();
            } else {
                m_sections[current].header = i;
                m_sectionNames.append(line.name);
            }
        } else if (line.kind == Kind::Key && !current.isNull()) {
            Section& section = m_sections[current];
            section.lastKey = i;
            const QString key = fold(line.name);
            if (!section.keys.contains(key)) {
                section.keys.insert(key, i);
                section.keyNames.append(line.name);
            }
        }
    }
}

const ProfileFile::Line* ProfileFile::findKey(const QString& section, const QString& key) const {
    const auto s = m_sections.constFind(fold(section));
    if (s == m_sections.cend()) return nullptr;
    const auto k = s->keys.constFind(fold(key));
    return k == s->keys.cend() ? nullptr : &m_lines[size_t(*k)];
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    const Line* line = findKey(section, key);
    return line ? line->value : defaultValue;
}

int ProfileFile::readInt(const QString& section, const QString& key, int defaultValue) const {
    const Line* line = findKey(section, key);
    if (!line) return defaultValue;
    const QString& text = line->value;
    qsizetype at = 0;
    const bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
    const qsizetype digits = at;
    qint64 number = 0;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
        number = number * 10 + (text[at].unicode() - u'0');
        if (number > qint64(std::numeric_limits<int>::max()) + 1) return defaultValue;
    }
    if (at == digits) return defaultValue;
    number = negative ? -number : number;
    if (number > std::numeric_limits<int>::max()) return defaultValue;
    return int(number);
}

QStringList ProfileFile::sectionNames() const {
    return m_sectionNames;
}

QStringList ProfileFile::keyNames(const QString& section) const {
    return m_sections.value(fold(section)).keyNames;
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QByteArray sectionName = section.toUtf8().trimmed();
    const QByteArray keyName = key.toUtf8().trimmed();
    const QByteArray text = value.toUtf8();
    if (const QString reason = unfitReason(sectionName, keyName, text); !reason.isEmpty())
        return fail(reason);
    if (!m_loadError.isEmpty()) return fail(m_loadError);

    std::vector<Line> lines = m_lines;
    // A line that is followed by a new one needs a line end of its own.
    const auto terminate = [this](Line& line) {
        if (!line.raw.endsWith('\n')) line.raw += m_lineEnd;
    };
    const QByteArray newKeyLine = keyName + '=' + encodeValue(text) + m_lineEnd;
    const auto s = m_sections.constFind(fold(section));
    if (s == m_sections.cend()) {
        if (!lines.empty()) {
            terminate(lines.back());
            if (!lines.back().raw.trimmed().isEmpty()) lines.push_back(parseLine(m_lineEnd, false));
        }
        lines.push_back(parseLine('[' + sectionName + ']' + m_lineEnd, false));
        lines.push_back(parseLine(newKeyLine, false));
    } else if (const auto k = s->keys.constFind(fold(key)); k != s->keys.cend()) {
        Line& line = lines[size_t(*k)];
        const QByteArray updated = keyPrefix(line.raw) + encodeValue(text) + lineEndOf(line.raw);
        if (updated == line.raw) return succeed();
        line = parseLine(updated, *k == 0);
    } else {
        const int after = s->lastKey >= 0 ? s->lastKey : s->header;
        terminate(lines[size_t(after)]);
        lines.insert(lines.begin() + after + 1, parseLine(newKeyLine, false));
    }
    return replaceLines(std::move(lines));
}

bool ProfileFile::writeInt(const QString& section, const QString& key, int value) {
    return writeString(section, key, QString::number(value));
}

bool ProfileFile::removeKey(const QString& section, const QString& key) {
    if (!m_loadError.isEmpty()) return fail(m_loadError);
    const Line* line = findKey(section, key);
    if (!line) return succeed();
    std::vector<Line> lines = m_lines;
    lines.erase(lines.begin() + (line - m_lines.data()));
    return replaceLines(std::move(lines));
}

bool ProfileFile::replaceLines(std::vector<Line> lines) {
    QByteArray data;
    for (const Line& line : lines)
        data += line.raw;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    if (file.write(data) != data.size() || !file.commit()) return fail(file.errorString());
    m_lines = std::move(lines);
    index();
    return succeed();
}

bool ProfileFile::succeed() {
    m_errorText.clear();
    m_errorDetail.clear();
    return true;
}

bool ProfileFile::fail(const QString& detail) {
    m_errorText = QStringLiteral("Unable to write to %1").arg(m_path);
    m_errorDetail = detail;
    return false;
}
