#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The starter element pictures: anti-aliased drawings on a transparent ground.
namespace vbElementArt {

struct Picture
{
    QString type; // the library sub-folder
    QString name; // file name without ".png"
    QImage image;
};

QList<Picture> allPictures();

} // namespace vbElementArt
