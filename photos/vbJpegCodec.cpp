#include "vbJpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

// libjpeg reports errors by calling error_exit, which must not return: jump
// back to the call that set up the codec and fail there.
struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// No messages on stderr; warnings are still counted (a damaged stream).
void quiet(j_common_ptr info, int level)
{
    if (level < 0)
        ++info->err->num_warnings;
}

// Runs one codec step with the jump target set here, in a frame of its own,
// so no local of the callers is live across the jump.
template <typename Step> bool guarded(ErrorManager& error, const Step& step)
{
    if (setjmp(error.jump) != 0)
        return false;
    return step();
}

// Kept free of C++ objects with destructors: longjmp skips them.
bool decodeInto(jpeg_decompress_struct* info, const QByteArray& jpeg, const QSize& atLeast, QImage* reuse,
                QImage* out)
{
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK)
        return false;
    const bool grey = info->jpeg_color_space == JCS_GRAYSCALE;
    if (!grey && info->jpeg_color_space != JCS_YCbCr && info->jpeg_color_space != JCS_RGB)
        return false; // CMYK and the like: the generic decoder knows them
    info->out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    info->scale_num = 1;
    info->scale_denom = 1;
    if (atLeast.isValid()) {
        for (unsigned int denom = 8; denom > 1; denom /= 2) {
            if (int((info->image_width + denom - 1) / denom) >= atLeast.width() &&
                int((info->image_height + denom - 1) / denom) >= atLeast.height()) {
                info->scale_denom = denom;
                break;
            }
        }
    }
    jpeg_start_decompress(info);
    const QSize size(int(info->output_width), int(info->output_height));
    const QImage::Format format = grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    if (reuse->size() == size && reuse->format() == format)
        out->swap(*reuse);
    else
        *out = QImage(size, format);
    if (out->isNull())
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->scanLine(int(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

bool encodeInto(jpeg_compress_struct* info, const QImage& image, int quality)
{
    const bool grey = image.format() == QImage::Format_Grayscale8;
    info->image_width = JDIMENSION(image.width());
    info->image_height = JDIMENSION(image.height());
    info->input_components = grey ? 1 : 4;
    info->in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
    jpeg_set_defaults(info);
    // The resolution in the JFIF header as the image carries it, like every
    // JPEG this program wrote before.
    info->density_unit = 1; // dots per inch
    info->X_density = UINT16(qRound(image.dotsPerMeterX() * 0.0254));
    info->Y_density = UINT16(qRound(image.dotsPerMeterY() * 0.0254));
    jpeg_set_quality(info, quality, TRUE);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        auto row = const_cast<JSAMPROW>(image.constScanLine(int(info->next_scanline)));
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

} // namespace

namespace vbJpegCodec {

QImage decode(const QByteArray& jpeg, const QSize& atLeast, QImage reuse)
{
    QImage image;
    jpeg_decompress_struct info{};
    ErrorManager error{};
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = jumpBack;
    error.pub.emit_message = quiet;
    jpeg_create_decompress(&info);
    const bool ok = guarded(error, [&] { return decodeInto(&info, jpeg, atLeast, &reuse, &image); });
    jpeg_destroy_decompress(&info);
    // A stream libjpeg had to patch up (warnings) is left to the generic decoder too.
    if (!ok || error.pub.num_warnings > 0)
        return QImage();
    return image;
}

QByteArray encode(const QImage& image, int quality)
{
    if (image.isNull())
        return QByteArray();
    const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 ||
                        image.format() == QImage::Format_Grayscale8;
    const QImage source = direct ? image : image.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct info{};
    ErrorManager error{};
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = jumpBack;
    error.pub.emit_message = quiet;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    const bool ok = guarded(error, [&] { return encodeInto(&info, source, quality); });
    jpeg_destroy_compress(&info);
    QByteArray bytes;
    if (ok && buffer)
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

} // namespace vbJpegCodec
