#include "bench/ui/TcmIPEdit.h"

#include <QRegularExpressionValidator>


TcmIPEdit::TcmIPEdit(QWidget* parent) : QLineEdit(parent) {
    // Accepts what can still become an address while typing: up to four groups of three digits.
    static const QRegularExpression partial(QStringLiteral(R"(^(\d{0,3})(\.\d{0,3}){0,3}$)"));
    setValidator(new QRegularExpressionValidator(partial, this));
    setMaxLength(15);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 12);
}

std::optional<std::uint32_t> TcmIPEdit::parse(const QString& text) {
    const QStringList octets = text.split(QLatin1Char('.'));
    if (octets.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const QString& octet = octets[i];
        if (octet.isEmpty() || octet.size() > 3)
            return std::nullopt;
        for (QChar c : octet)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        const uint n = octet.toUInt();
        if (n > 255)
            return std::nullopt;
        value |= n << (8 * i);
    }
    return value;
}

QString TcmIPEdit::format(std::uint32_t value) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(value & 0xFF)
        .arg((value >> 8) & 0xFF)
        .arg((value >> 16) & 0xFF)
        .arg((value >> 24) & 0xFF);
}

std::uint32_t TcmIPEdit::IPdata() const {
    const QString shown = GetIPstr();
    return shown.isEmpty() ? 0 : parse(shown).value_or(0);
}

void TcmIPEdit::SetIP(std::uint32_t value) { setText(format(value)); }

QString TcmIPEdit::GetIPstr() const {
    const QString shown = text().trimmed();
    if (shown.isEmpty())
        return {};
    QStringList octets = shown.split(QLatin1Char('.'));
    while (octets.size() < 4)
        octets.append(QString());
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= (std::min(octets[i].toUInt(), 255u) & 0xFF) << (8 * i);
    return format(value);
}

void TcmIPEdit::SetIPstr(const QString& text) { SetIP(parse(text).value_or(0)); }
