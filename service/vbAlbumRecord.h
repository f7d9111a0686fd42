#pragma once

#include <QString>
#include <QVector>

// One album of the signed-in account, as the album list answer gives it.
struct AlbumRecord
{
    QString name;
    int id = 0;
    int photoCount = 0;
};

using AlbumList = QVector<AlbumRecord>;
