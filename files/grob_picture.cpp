#include "files/grob_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace scrivlet {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("scrivlet::GrobPicture", text);
}

// Luma laid over white, scaled so that white is kWhite: 0.299 R + 0.587 G + 0.114 B in
// thousandths, times the alpha, plus white for what the alpha leaves uncovered.
constexpr std::int32_t kWhite = 255000 * 255;
constexpr std::int32_t kHalf = kWhite / 2;

inline std::int32_t lumaOverWhite(QRgb pixel)
{
    const std::int32_t alpha = qAlpha(pixel);
    const std::int32_t luma = 299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel);
    return luma * alpha + 255000 * (255 - alpha);
}

inline void setPixel(char* row, int x)
{
    row[x >> 3] = static_cast<char>(row[x >> 3] | (1 << (x & 7)));
}

void threshold(const QImage& argb, GrobObject& grob)
{
    const std::size_t stride = grobRowBytes(grob.width);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        char* row = grob.data.data() + y * stride;
        for (int x = 0; x < argb.width(); ++x) {
            if (lumaOverWhite(line[x]) < kHalf)
                setPixel(row, x);
        }
    }
}

void dither(const QImage& argb, GrobObject& grob)
{
    const std::size_t stride = grobRowBytes(grob.width);
    const int width = argb.width();
    // The error carried into this row and the next; index x + 1 belongs to pixel x.
    std::vector<std::int32_t> here(width + 2), below(width + 2);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        char* row = grob.data.data() + y * stride;
        std::fill(below.begin(), below.end(), 0);
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const std::int32_t value = lumaOverWhite(line[x]) + here[x + 1];
            const bool dark = value < kHalf;
            if (dark)
                setPixel(row, x);
            const std::int32_t error = dark ? value : value - kWhite;
            const std::int32_t right = error * 7 / 16, belowLeft = error * 3 / 16,
                               straightBelow = error * 5 / 16;
            here[x + 2] += right;
            below[x] += belowLeft;
            below[x + 1] += straightBelow;
            below[x + 2] += error - right - belowLeft - straightBelow;
        }
        std::swap(here, below);
    }
}


} // namespace

QString pictureSizeProblem(QSize size, const QString& subject)
{
    const int width = size.width();
    const int height = size.height();
    if (width > kMaxPictureSide || height > kMaxPictureSide)
        return tr("%1 is %2 × %3 pixels; pictures up to %4 × %4 pixels can become a GROB.")
            .arg(subject, QString::number(width), QString::number(height),
                 QString::number(kMaxPictureSide));
    if (width > 0 && height > 0 && grobDataNibbles(width, height) > kGrobMaxDataNibbles)
        return tr("%1 is %2 × %3 pixels; a GROB holds at most %4 hex digits of data, which at "
                  "%2 pixels wide is %5 rows.")
            .arg(subject, QString::number(width), QString::number(height),
                 QString::number(kGrobMaxDataNibbles),
                 QString::number(kGrobMaxDataNibbles / grobDataNibbles(width, 1)));
    return {};
}

PictureGrob grobFromPicture(const QImage& picture, DarkRule rule, const QString& subject)
{
    const QString who = subject.isEmpty() ? tr("The picture") : subject;
    if (picture.isNull())
        return PictureGrob::refused(tr("%1 has no pixels.").arg(who));
    const QString tooLarge = pictureSizeProblem(picture.size(), who);
    if (!tooLarge.isEmpty())
        return PictureGrob::refused(tooLarge);

    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    GrobObject grob;
    grob.width = static_cast<std::uint32_t>(picture.width());
    grob.height = static_cast<std::uint32_t>(picture.height());
    grob.data.assign(grobRowBytes(grob.width) * grob.height, '\0');
    if (rule == DarkRule::Dither)
        dither(argb, grob);
    else
        threshold(argb, grob);
    PictureGrob result;
    result.grob = std::move(grob);
    return result;
}

QImage pictureFromGrob(const GrobObject& grob)
{
    if (!isWholeGrob(grob) || grob.width == 0 || grob.height == 0)
        return {};
    QImage image(static_cast<int>(grob.width), static_cast<int>(grob.height),
                 QImage::Format_MonoLSB);
    if (image.isNull())
        return {};
    image.setColorCount(2);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    const std::size_t stride = grobRowBytes(grob.width);
    const unsigned used = grob.width % 8;
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        std::memcpy(line, grob.data.data() + y * stride, stride);
        if (used != 0)
            line[stride - 1] &= static_cast<uchar>((1u << used) - 1);
    }
    return image;
}

int grobPreviewZoom(QSize size, QSize room)
{
    for (int zoom = 8; zoom > 1; --zoom) {
        if (std::int64_t{size.width()} * zoom <= room.width() &&
            std::int64_t{size.height()} * zoom <= room.height())
            return zoom;
    }
    return 1;
}

QImage grobPreview(const GrobObject& grob, int zoom)
{
    const QImage image = pictureFromGrob(grob);
    zoom = std::clamp(zoom, 1, 8);
    if (image.isNull() || zoom == 1)
        return image;
    return image.scaled(image.width() * zoom, image.height() * zoom, Qt::IgnoreAspectRatio,
                        Qt::FastTransformation);
}

std::string grobPngBytes(const GrobObject& grob)
{
    const QImage image = pictureFromGrob(grob);
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes.toStdString();
}

} // namespace scrivlet
