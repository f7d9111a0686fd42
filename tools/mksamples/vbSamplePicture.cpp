#include "vbSamplePicture.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <exception>

namespace vbSamplePicture {

namespace {

#if EXIV2_TEST_VERSION(0, 28, 0)
using ImagePtr = Exiv2::Image::UniquePtr;
#else
using ImagePtr = Exiv2::Image::AutoPtr;
#endif

QPainterPath hills(double w, double h, double base, double amplitude, double phase, double waves)
{
    QPainterPath path(QPointF(0, h));
    for (int i = 0; i <= 64; ++i) {
        const double x = w * i / 64.0;
        const double y = base - amplitude * (0.6 * std::sin(phase + waves * x / w * 6.283) +
                                             0.4 * std::sin(phase * 1.7 + waves * 2.3 * x / w * 6.283));
        path.lineTo(x, y);
    }
    path.lineTo(w, h);
    path.closeSubpath();
    return path;
}

} // namespace

QImage landscape(const QSize& size, int seed)
{
    QRandomGenerator random(quint32(seed * 7919 + 17));
    const double w = size.width();
    const double h = size.height();
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Sky from deep blue (or dusk orange) to a pale horizon.
    const bool dusk = seed % 3 == 2;
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, dusk ? QColor(70, 50, 120) : QColor(40, 110, 200));
    sky.setColorAt(1, dusk ? QColor(250, 160, 90) : QColor(200, 230, 250));
    p.fillRect(image.rect(), sky);

    const QPointF sun(w * (0.2 + 0.6 * random.generateDouble()), h * (0.15 + 0.2 * random.generateDouble()));
    QRadialGradient glow(sun, h * 0.25);
    glow.setColorAt(0, QColor(255, 250, 220));
    glow.setColorAt(0.15, QColor(255, 240, 180, 220));
    glow.setColorAt(1, QColor(255, 240, 180, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, h * 0.25, h * 0.25);

    // Clouds
    p.setBrush(QColor(255, 255, 255, 150));
    for (int i = 0; i < 5; ++i) {
        const QPointF c(w * random.generateDouble(), h * 0.05 + h * 0.2 * random.generateDouble());
        for (int k = 0; k < 4; ++k)
            p.drawEllipse(c + QPointF(k * w * 0.03, (k % 2) * h * 0.01), w * 0.05, h * 0.03);
    }

    // Three ranges of hills, far to near.
    const QColor far = dusk ? QColor(110, 80, 120) : QColor(110, 140, 170);
    const QColor mid = dusk ? QColor(80, 70, 60) : QColor(70, 120, 80);
    const QColor near = dusk ? QColor(50, 60, 40) : QColor(60, 140, 60);
    p.setBrush(far);
    p.drawPath(hills(w, h, h * 0.5, h * 0.08, seed, 1.5));
    p.setBrush(mid);
    p.drawPath(hills(w, h, h * 0.6, h * 0.06, seed * 2.1, 2.5));

    // A lake reflecting the sky.
    QLinearGradient lake(0, h * 0.65, 0, h * 0.8);
    lake.setColorAt(0, sky.stops().last().second.darker(110));
    lake.setColorAt(1, sky.stops().first().second);
    p.setBrush(lake);
    p.drawEllipse(QPointF(w * (0.3 + 0.4 * random.generateDouble()), h * 0.72), w * 0.3, h * 0.06);

    p.setBrush(near);
    p.drawPath(hills(w, h, h * 0.82, h * 0.04, seed * 3.3, 3.5));

    // Grass: many short strokes give the photo real detail (and a real file size).
    const int strokes = int(w * h / 400);
    for (int i = 0; i < strokes; ++i) {
        const double x = w * random.generateDouble();
        const double y = h * (0.8 + 0.2 * random.generateDouble());
        const int g = 90 + int(random.bounded(110));
        p.setPen(QPen(QColor(30 + int(random.bounded(40)), g, 30), std::max(1.0, w / 1500.0)));
        p.drawLine(QPointF(x, y), QPointF(x + (random.generateDouble() - 0.5) * w * 0.004, y - h * 0.015));
    }

    // A few trees.
    for (int i = 0; i < 4 + seed % 4; ++i) {
        const double x = w * random.generateDouble();
        const double base = h * (0.78 + 0.1 * random.generateDouble());
        const double th = h * (0.08 + 0.06 * random.generateDouble());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 60, 30));
        p.drawRect(QRectF(x - th * 0.05, base - th * 0.4, th * 0.1, th * 0.4));
        p.setBrush(QColor(20, 90 + int(random.bounded(60)), 40));
        p.drawEllipse(QPointF(x, base - th * 0.6), th * 0.3, th * 0.4);
    }
    p.end();
    return image;
}

bool writeExif(const QString& path, int seed)
{
    static const char* const makes[] = {"Canon", "NIKON CORPORATION", "SONY", "FUJIFILM"};
    static const char* const models[] = {"Canon EOS 40D", "NIKON D90", "DSLR-A350", "FinePix S100FS"};
    static const int exposures[] = {60, 125, 250, 500, 1000};
    try {
        ImagePtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        if (!image.get())
            return false;
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = std::string(makes[seed % 4]);
        exif["Exif.Image.Model"] = std::string(models[seed % 4]);
        const QString date = QStringLiteral("2008:%1:%2 %3:%4:05")
                                 .arg(1 + seed % 12, 2, 10, QLatin1Char('0'))
                                 .arg(1 + (seed * 5) % 28, 2, 10, QLatin1Char('0'))
                                 .arg(8 + seed % 10, 2, 10, QLatin1Char('0'))
                                 .arg((seed * 13) % 60, 2, 10, QLatin1Char('0'));
        exif["Exif.Image.DateTime"] = date.toStdString();
        exif["Exif.Photo.DateTimeOriginal"] = date.toStdString();
        exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, exposures[seed % 5]);
        exif["Exif.Photo.ApertureValue"] = Exiv2::URational(40 + 10 * (seed % 4), 10);
        exif["Exif.Photo.FocalLength"] = Exiv2::URational(180 + 45 * (seed % 7), 10);
        image->writeMetadata();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool writePhoto(const QString& path, const QSize& size, int seed, int quality)
{
    return landscape(size, seed).save(path, "JPG", quality) && writeExif(path, seed);
}

} // namespace vbSamplePicture
