#include "vbPhotoMetadata.h"

#include "vbExifReader.h"

#include <QFile>

#include <exiv2/exiv2.hpp>

#include <exception>

namespace {

#if EXIV2_TEST_VERSION(0, 28, 0)
using ImagePtr = Exiv2::Image::UniquePtr;
using ByteCount = size_t;
#else
using ImagePtr = Exiv2::Image::AutoPtr;
using ByteCount = long;
#endif

// Sets key to value only where the photo has it; these tags are optional.
void updateExif(Exiv2::ExifData& exif, const char* key, uint32_t value)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it != exif.end())
        it->setValue(std::to_string(value));
}

void updateXmp(Exiv2::XmpData& xmp, const char* key, uint32_t value)
{
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it != xmp.end())
        it->setValue(std::to_string(value));
}

} // namespace

namespace vbPhotoMetadata {

Result transfer(const QString& sourcePath, QByteArray& jpeg, const QSize& size)
{
    initialiseExiv2();
    const std::string path = QFile::encodeName(sourcePath).toStdString();
    try {
        if (Exiv2::ImageFactory::getType(path) == Exiv2::ImageType::none)
            return NothingToCopy;
        ImagePtr source = Exiv2::ImageFactory::open(path);
        if (!source.get())
            return Failed;
        source->readMetadata();
        Exiv2::ExifData exif = source->exifData();
        Exiv2::XmpData xmp = source->xmpData();
        const Exiv2::IptcData& iptc = source->iptcData();
        if (exif.empty() && xmp.empty() && iptc.empty())
            return NothingToCopy;

        const auto width = uint32_t(size.width());
        const auto height = uint32_t(size.height());
        if (!exif.empty()) {
            Exiv2::ExifThumb(exif).erase();
            exif["Exif.Image.Orientation"] = uint16_t(1);
            exif["Exif.Photo.PixelXDimension"] = width;
            exif["Exif.Photo.PixelYDimension"] = height;
            updateExif(exif, "Exif.Image.ImageWidth", width);
            updateExif(exif, "Exif.Image.ImageLength", height);
        }
        updateXmp(xmp, "Xmp.tiff.Orientation", 1);
        updateXmp(xmp, "Xmp.tiff.ImageWidth", width);
        updateXmp(xmp, "Xmp.tiff.ImageLength", height);
        updateXmp(xmp, "Xmp.exif.PixelXDimension", width);
        updateXmp(xmp, "Xmp.exif.PixelYDimension", height);

        ImagePtr target = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(jpeg.constData()),
                                                    ByteCount(jpeg.size()));
        if (!target.get())
            return Failed;
        target->readMetadata();
        target->setExifData(exif);
        target->setIptcData(iptc);
        target->setXmpData(xmp);
        target->writeMetadata();

        Exiv2::BasicIo& io = target->io();
        if (io.open() != 0)
            return Failed;
        const QByteArray written(reinterpret_cast<const char*>(io.mmap()), qsizetype(io.size()));
        io.munmap();
        io.close();
        if (written.isEmpty())
            return Failed;
        jpeg = written;
        return Copied;
    } catch (const std::exception&) {
        return Failed;
    }
}

} // namespace vbPhotoMetadata
