#pragma once

#include <QString>
#include <QStringList>

class QTranslator;

// Which language a program speaks, and sentences built from translated pieces.
// Shared by both programs so they always speak alike.
namespace vbLanguage {

// "zh" or "en". The [ui] language setting wins when it names one of the two
// (any case); otherwise a Chinese system locale ("zh", "zh_CN", "zh-Hant-TW")
// gives Chinese and every other locale English.
QString choose(const QString& systemLocale, const QString& setting);

// Chooses the language from the system locale and the [ui] setting of the
// settings file, loads "tr/<program>_<language>.qm" of the current folder into
// translator and installs it. The language's locale becomes the default, so the
// resource system serves the bitmaps captioned in it. Without its Chinese file
// the program speaks English. Returns the language in use.
QString install(QTranslator* translator, const QString& program, const QString& settingsPath);

// Replaces %1 ... %9 of pattern by the pieces in one pass, so a piece holding
// "%2" stays as it is. A translation may leave markers out: English word
// order does not always need every piece the Chinese sentence is made of.
QString compose(const QString& pattern, const QStringList& pieces);

} // namespace vbLanguage
