#include "app/images/images.h"

#include <QtTest>

#include <limits>
#include <vector>

namespace {

// A picture on clear ground: some pixels fully see-through, some fully covered.
bool IsPictureOnClearGround(const QImage& picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    bool clear = false, opaque = false;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const int alpha = qAlpha(argb.pixel(x, y));
            clear = clear || alpha == 0;
            opaque = opaque || alpha == 255;
        }
    }
    return clear && opaque;
}

// The pixels alone, whatever the format and device pixel ratio.
QImage Pixels(const QImage& image) {
    QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    pixels.setDevicePixelRatio(1);
    return pixels;
}

}  // namespace

class ImagesTest : public QObject {
    Q_OBJECT

private slots:
    void commandsGetDistinctPicturesOfTheirSize() {
        std::vector<QImage> seen;
        for (int index = 0; index < velmo::kActionImageCount; ++index) {
            const QPixmap pixmap = velmo::ActionImage(index);
            QCOMPARE(pixmap.size(), QSize(16, 16));
            QVERIFY2(IsPictureOnClearGround(pixmap.toImage()), qPrintable(QString::number(index)));
            // The first four are the tool-bar pictures again, drawn small.
            if (index < velmo::kToolBarImageCount) continue;
            for (const QImage& other : seen) QVERIFY(pixmap.toImage() != other);
            seen.push_back(pixmap.toImage());
        }
        for (int index = 0; index < velmo::kToolBarImageCount; ++index) {
            const QPixmap pixmap = velmo::ToolBarImage(index);
            QCOMPARE(pixmap.size(), QSize(32, 32));
            QVERIFY(IsPictureOnClearGround(pixmap.toImage()));
        }
        const QPixmap about = velmo::AboutPicture();
        QCOMPARE(about.size(), QSize(48, 48));
        QVERIFY(IsPictureOnClearGround(about.toImage()));
        for (int side : velmo::kWindowIconSides)
            QVERIFY(velmo::WindowIcon().availableSizes().contains(QSize(side, side)));
    }

    void unknownIndicesAndRatiosGiveNothing() {
        QVERIFY(velmo::ActionImage(-1).isNull());
        QVERIFY(velmo::ActionImage(velmo::kActionImageCount).isNull());
        QVERIFY(velmo::ToolBarImage(velmo::kToolBarImageCount).isNull());
        QVERIFY(velmo::ActionIcon(velmo::kActionImageCount).isNull());
        QVERIFY(velmo::ToolBarIcon(-1).isNull());
        QVERIFY(velmo::PaintActionImage(velmo::kActionImageCount, 16).isNull());
        QVERIFY(velmo::ActionImage(velmo::kImageHelp, 0).isNull());
        QVERIFY(velmo::ActionImage(velmo::kImageHelp, std::numeric_limits<qreal>::quiet_NaN())
                    .isNull());
    }

    // On a screen of two device pixels per pixel a 16-pixel image must be painted at 32, not
    // blown up from 16.
    void picturesForDenseScreensArePaintedAtTheirPixels() {
        const QPixmap sharp = velmo::ActionImage(velmo::kImageSolve, 2.0);
        QCOMPARE(sharp.size(), QSize(32, 32));
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(16, 16));
        QCOMPARE(Pixels(sharp.toImage()), Pixels(velmo::PaintActionImage(velmo::kImageSolve, 32)));
        QCOMPARE(velmo::AboutPicture(1.5).size(), QSize(72, 72));
        const QPixmap fromIcon = velmo::ActionIcon(velmo::kImageSolve).pixmap(QSize(16, 16), 2.0);
        QCOMPARE(fromIcon.size(), QSize(32, 32));
        QCOMPARE(Pixels(fromIcon.toImage()), Pixels(sharp.toImage()));
    }
};

QTEST_MAIN(ImagesTest)
#include "images_test.moc"
