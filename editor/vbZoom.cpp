#include "vbZoom.h"

#include "vbFitSize.h"

#include <QtGlobal>

namespace vbZoom {

bool factorForText(const QString& text, double* factor)
{
    static const struct
    {
        const char* text;
        float factor;
    } fixed[] = {{"10%", 0.1f},  {"25%", 0.25f}, {"50%", 0.5f}, {"75%", 0.75f},
                 {"100%", 1.0f}, {"150%", 1.5f}, {"200%", 2.0f}};
    for (const auto& entry : fixed) {
        if (text == QLatin1String(entry.text)) {
            *factor = entry.factor;
            return true;
        }
    }
    QString number = text;
    number.remove(QLatin1Char('%'));
    bool ok = false;
    const double value = number.trimmed().toDouble(&ok);
    if (!ok)
        return false;
    *factor = qBound(double(minScale), value / 100.0, double(maxScale));
    return true;
}

QPointF scaleFor(const QSize& shown, const QSizeF& target)
{
    if (shown.isEmpty())
        return QPointF(1.0, 1.0);
    const QSize s = fitSize(shown.width(), shown.height(), target.width(), target.height());
    return QPointF(double(s.width()) / shown.width(), double(s.height()) / shown.height());
}

double stepped(double scale, bool in)
{
    if (in)
        return qMin(scale + step, double(maxScale));
    return qMax(scale - step, double(minScale));
}

QString percentText(double scale)
{
    return QString::number(int((scale + 0.05) * 100) / 10 * 10) + QLatin1Char('%');
}

} // namespace vbZoom
