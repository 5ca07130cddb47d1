#pragma once

#include <QLineEdit>

#include <cstdint>
#include <optional>

// An IPv4 address box. IPdata holds the address with the first octet in the lowest byte, as
// the address is laid out in memory in network order.
class TcmIPEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TcmIPEdit(QWidget* parent = nullptr);

    std::uint32_t IPdata() const;
    void SetIP(std::uint32_t value);
    // Dotted decimal text of the four octets (blank octets read as 0); empty when the box is.
    QString GetIPstr() const;
    // Shows the address parsed from dotted decimal text; anything but four octets below 256
    // separated by exactly three dots shows 0.0.0.0.
    void SetIPstr(const QString& text);

    // Strict dotted-quad parser shared with the setter; nothing for malformed text.
    static std::optional<std::uint32_t> parse(const QString& text);
    static QString format(std::uint32_t value);
};
