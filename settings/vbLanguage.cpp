#include "vbLanguage.h"

#include "vbIniParser.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace vbLanguage {

QString choose(const QString& systemLocale, const QString& setting)
{
    const QString wanted = setting.trimmed().toLower();
    if (wanted == QLatin1String("zh") || wanted == QLatin1String("en"))
        return wanted;
    return systemLocale.startsWith(QLatin1String("zh"), Qt::CaseInsensitive) ? QStringLiteral("zh")
                                                                             : QStringLiteral("en");
}

QString install(QTranslator* translator, const QString& program, const QString& settingsPath)
{
    const QString setting =
        vbIniParser(settingsPath).getString(QStringLiteral("ui"), QStringLiteral("language"));
    QString language = choose(QLocale::system().name(), setting);
    const auto load = [&](const QString& which) {
        return translator->load(QStringLiteral("tr/%1_%2.qm").arg(program, which));
    };
    if (!load(language) && language != QLatin1String("en")) {
        language = QStringLiteral("en");
        load(language);
    }
    if (!translator->isEmpty())
        QCoreApplication::installTranslator(translator);
    // The captioned button bitmaps follow the default locale: Chinese ones for
    // Chinese, and the plain ones even on a Chinese system told to speak English.
    QLocale::setDefault(language == QLatin1String("zh") ? QLocale(QLocale::Chinese, QLocale::China)
                                                        : QLocale(QLocale::English, QLocale::UnitedStates));
    return language;
}

QString compose(const QString& pattern, const QStringList& pieces)
{
    QString out;
    out.reserve(pattern.size() + 32);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            const int index = pattern.at(i + 1).digitValue();
            if (index >= 1 && index <= pieces.size()) {
                out += pieces.at(index - 1);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace vbLanguage
