#include "vbNameOrder.h"

#include <QCollator>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace vbNameOrder {

namespace {

QCollator collator()
{
    // The "C" locale compares code points and knows no numbers: a system set
    // to it still gets names in the order people read them.
    const QLocale locale = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator c(locale);
    c.setNumericMode(true);
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

struct Key
{
    explicit Key(const QString& p)
        : path(p), base(QFileInfo(p).completeBaseName()), suffix(QFileInfo(p).suffix()),
          folder(QFileInfo(p).absolutePath())
    {}
    QString path;
    QString base;
    QString suffix;
    QString folder;
};

bool lessThan(const QCollator& c, const Key& a, const Key& b)
{
    int order = c.compare(a.base, b.base);
    if (order == 0)
        order = c.compare(a.suffix, b.suffix);
    if (order == 0)
        order = c.compare(a.folder, b.folder);
    // The collator finds "IMG_01" and "IMG_1" equal: any fixed order will do.
    return order != 0 ? order < 0 : a.path < b.path;
}

} // namespace

bool lessThan(const QString& a, const QString& b)
{
    return lessThan(collator(), Key(a), Key(b));
}

void sort(QStringList& paths)
{
    // Split each path once, not at every comparison: a folder may hold thousands.
    std::vector<Key> keys;
    keys.reserve(size_t(paths.size()));
    for (const QString& path : std::as_const(paths))
        keys.emplace_back(path);
    const QCollator c = collator();
    std::stable_sort(keys.begin(), keys.end(),
                     [&c](const Key& a, const Key& b) { return lessThan(c, a, b); });
    for (qsizetype i = 0; i < paths.size(); ++i)
        paths[i] = keys[size_t(i)].path;
}

} // namespace vbNameOrder
