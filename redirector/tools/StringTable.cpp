#include "redirector/tools/StringTable.h"

#include <QFile>
#include <QHash>
#include <QtGlobal>

// The resource sits in a static library: referencing its initialiser keeps it linked in.
// Q_INIT_RESOURCE has to be used outside any namespace.
static void initStringResource() {
    Q_INIT_RESOURCE(redirector_strings);
}

namespace {

QHash<int, QString> readStringTable() {
    initStringResource();
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/redirector/strings.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("String table resource missing");
        return table;
    }
    const QString content = QString::fromUtf8(file.readAll());
    int lineNumber = 0;
    for (QStringView line : QStringView(content).split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool isNumber = false;
        const int number = tab > 0 ? line.left(tab).toInt(&isNumber) : 0;
        if (!isNumber || table.contains(number)) {
            // Reported rather than dropped silently, so that a slip in the table gets noticed.
            qWarning("String table line %d is malformed or repeats a number", lineNumber);
            continue;
        }
        table.insert(number, line.mid(tab + 1).toString());
    }
    return table;
}

} // namespace

QString LoadResString(int number) {
    static const QHash<int, QString> table = readStringTable();
    return table.value(number);
}
