#pragma once

#include <QString>

#include <optional>

// The six EXIF values a photo carries to the service. A value the file lacks
// stays empty (nullopt), so the caller can keep what it had.
struct vbExifValues
{
    std::optional<QString> make;     // 0x010F, ASCII
    std::optional<QString> model;    // 0x0110, ASCII
    std::optional<QString> time1;    // 0x0132 DateTime, ASCII
    std::optional<QString> time2;    // 0x829A ExposureTime, "num/den"
    std::optional<QString> aperture; // 0x9202 ApertureValue, "num/den"
    std::optional<QString> focal;    // 0x920A FocalLength, numerator only
};

// Reads the six values from the file at path. Texts end at their first NUL
// (anything else, trailing blanks included, is kept); rationals are written
// unreduced as signed 32-bit numbers. Any file Exiv2 cannot read gives nothing.
// Safe to call from any thread.
vbExifValues readExifValues(const QString& path);

// Sets Exiv2 up once per process: quiet logging and the XMP parser, whose
// setup must not run on two threads at once. Every Exiv2 user calls it first.
void initialiseExiv2();
