#pragma once

#include <QString>
#include <QStringList>

// The order in which photos are listed: by file name as people read it, the
// numbers in a name by their value (IMG_2 before IMG_10), letters without
// regard to case; the name without its suffix first, so "a.jpg" comes before
// "a_1.jpg". Equal names from different folders follow their folders.
namespace vbNameOrder {

// Whether the photo at path a comes before the one at path b.
bool lessThan(const QString& a, const QString& b);
// Sorts photo paths into that order.
void sort(QStringList& paths);

} // namespace vbNameOrder
