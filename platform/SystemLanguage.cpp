#include "platform/SystemLanguage.h"

#include <QRegularExpression>

SystemLanguage languageFromLocale(const QString& locale) {
    // language[_territory][.codeset][@modifier]; "-" also separates, as in "zh-TW".
    static const QRegularExpression pattern(
        QStringLiteral("^([A-Za-z]+)(?:[_-]([A-Za-z0-9]+))?(?:[.@].*)?$"));
    const QRegularExpressionMatch match = pattern.match(locale);
    if (!match.hasMatch() || match.captured(1).compare(u"zh", Qt::CaseInsensitive) != 0)
        return SystemLanguage::English;
    const QString territory = match.captured(2).toUpper();
    return territory == u"CN" || territory == u"SG" ? SystemLanguage::SimplifiedChinese
                                                    : SystemLanguage::TraditionalChinese;
}

SystemLanguage systemLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString locale = qEnvironmentVariable(name);
        if (!locale.isEmpty()) return languageFromLocale(locale);
    }
    return SystemLanguage::English;
}
