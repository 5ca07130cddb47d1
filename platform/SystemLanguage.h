#pragma once

#include <QString>

// The system's language, as far as the programs' own texts care: the serial library's errors
// and dialogs come in these three.
enum class SystemLanguage { English, SimplifiedChinese, TraditionalChinese };

// From a locale name such as "zh_CN.UTF-8" or "en_US@euro": Chinese of China and Singapore is
// simplified, any other Chinese traditional, everything else English.
SystemLanguage languageFromLocale(const QString& locale);

// From the first non-empty of LC_ALL, LC_MESSAGES and LANG, the variables that choose the
// language of messages.
SystemLanguage systemLanguage();
