#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The service's answer to the updater's version query, as pure rules.
namespace vbVersionAnswer {

// The three characters after the header end when they are a version (blanks
// around it dropped); nothing otherwise (no header end, no number).
std::optional<QString> parse(const QByteArray& received);

// A version is a plain decimal such as "2", "1.5" or "123" below 10000 with
// at most three decimals; exponents, signs, "inf" and "nan" are not.
std::optional<float> number(const QString& text);

} // namespace vbVersionAnswer
