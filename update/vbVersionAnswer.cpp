#include "vbVersionAnswer.h"

#include <QRegularExpression>

namespace vbVersionAnswer {

std::optional<QString> parse(const QByteArray& received)
{
    const qsizetype end = received.indexOf("\r\n\r\n");
    if (end < 0)
        return std::nullopt;
    const QString text = QString::fromLatin1(received.mid(end + 4, 3)).trimmed();
    if (!number(text))
        return std::nullopt;
    return text;
}

std::optional<float> number(const QString& text)
{
    // Anything looser lets "1e9" or "inf" through, which no later version can beat.
    static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,4}(\\.[0-9]{1,3})?$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    return text.toFloat();
}

} // namespace vbVersionAnswer
