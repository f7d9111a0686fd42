#include "vbExifReader.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <exception>
#include <mutex>
#include <vector>

namespace {

#if EXIV2_TEST_VERSION(0, 28, 0)
using ImagePtr = Exiv2::Image::UniquePtr;
#else
using ImagePtr = Exiv2::Image::AutoPtr;
#endif

std::optional<QString> asciiValue(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return std::nullopt;
    const Exiv2::Value& value = it->value();
    std::vector<Exiv2::byte> bytes(size_t(value.size()) + 1, 0);
    value.copy(bytes.data(), Exiv2::littleEndian);
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0)
        ++length;
    return QString::fromLocal8Bit(reinterpret_cast<const char*>(bytes.data()), qsizetype(length));
}

std::optional<Exiv2::Rational> rationalValue(const Exiv2::ExifData& exif, const char* key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() < 1)
        return std::nullopt;
    if (it->typeId() != Exiv2::unsignedRational && it->typeId() != Exiv2::signedRational)
        return std::nullopt;
    // The unsigned form is taken bit for bit as signed, as the service expects.
    return it->value().toRational(0);
}

} // namespace

void initialiseExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

vbExifValues readExifValues(const QString& path)
{
    initialiseExiv2();
    vbExifValues out;
    try {
        ImagePtr image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        if (!image.get())
            return out;
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        if (exif.empty())
            return out;
        out.make = asciiValue(exif, "Exif.Image.Make");
        out.model = asciiValue(exif, "Exif.Image.Model");
        out.time1 = asciiValue(exif, "Exif.Image.DateTime");
        if (const auto r = rationalValue(exif, "Exif.Photo.ExposureTime"))
            out.time2 = QString::number(r->first) + QLatin1Char('/') + QString::number(r->second);
        if (const auto r = rationalValue(exif, "Exif.Photo.ApertureValue"))
            out.aperture = QString::number(r->first) + QLatin1Char('/') + QString::number(r->second);
        if (const auto r = rationalValue(exif, "Exif.Photo.FocalLength"))
            out.focal = QString::number(r->first);
    } catch (const std::exception&) {
        return vbExifValues();
    }
    return out;
}
