#include "vbJpegCodec.h"
#include "vbTestPhotos.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtTest>

// The direct libjpeg path: the DCT scale it picks, grey kept grey, and every
// stream it cannot read handed back as null (never a crash) so the generic
// decoder takes over.
class tst_JpegCodec : public QObject
{
    Q_OBJECT
private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<QSize>("atLeast");
        QTest::addColumn<QSize>("decoded"); // null: refused
        QTest::addColumn<int>("format");
        const QByteArray colour = vbJpegCodec::encode(vbTestPhotos::picture(QSize(4000, 3000)), 80);
        const QByteArray grey = vbJpegCodec::encode(
            vbTestPhotos::picture(QSize(800, 600)).convertToFormat(QImage::Format_Grayscale8), 80);
        const int rgb = QImage::Format_RGB32, none = QImage::Format_Invalid;
        QTest::newRow("full size") << colour << QSize() << QSize(4000, 3000) << rgb;
        QTest::newRow("thumbnail box: 1/8") << colour << QSize(244, 183) << QSize(500, 375) << rgb;
        QTest::newRow("exactly 1/8") << colour << QSize(500, 375) << QSize(500, 375) << rgb;
        QTest::newRow("just above 1/8: 1/4") << colour << QSize(501, 376) << QSize(1000, 750) << rgb;
        QTest::newRow("grey stays grey")
            << grey << QSize(100, 75) << QSize(100, 75) << int(QImage::Format_Grayscale8);
        QTest::newRow("empty") << QByteArray() << QSize() << QSize() << none;
        QTest::newRow("garbage after the start marker")
            << QByteArray("\xFF\xD8\xFF\xC0garbage", 12) << QSize() << QSize() << none;
        QTest::newRow("cut off") << colour.left(colour.size() / 2) << QSize() << QSize() << none;
    }
    void decode()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(QSize, atLeast);
        QFETCH(QSize, decoded);
        QFETCH(int, format);
        const QImage image = vbJpegCodec::decode(jpeg, atLeast);
        QCOMPARE(image.isNull(), !decoded.isValid());
        if (!image.isNull())
            QCOMPARE(image.size(), decoded);
        QCOMPARE(int(image.format()), format);
    }

    // Byte for byte what the generic writer makes: copies keep looking and
    // sizing as they always did.
    void encodeMatchesTheGenericWriter()
    {
        const QImage image = vbTestPhotos::picture(QSize(640, 480), 3);
        QByteArray generic;
        QBuffer buffer(&generic);
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QImageWriter writer(&buffer, "jpg");
        writer.setQuality(80);
        QVERIFY(writer.write(image));
        QCOMPARE(vbJpegCodec::encode(image, 80), generic);
    }
};

QTEST_GUILESS_MAIN(tst_JpegCodec)
#include "tst_jpegcodec.moc"
