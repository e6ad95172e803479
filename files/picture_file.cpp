#include "files/picture_file.h"

#include "common/file_io.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace scrivlet {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("scrivlet::PictureFile", text);
}


} // namespace

PictureGrob grobFromPictureBytes(const QByteArray& bytes, DarkRule rule, const QString& subject)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true); // a photograph stands the way its camera says
    if (!reader.canRead())
        return PictureGrob::refused(tr("%1 is not a picture this program can read (PNG, BMP, GIF, JPEG, PBM, "
                          "PGM, PPM, XBM).")
                           .arg(subject));
    const QString format = QString::fromLatin1(reader.format()).toUpper();
    const QString tooLarge = pictureSizeProblem(reader.size(), subject);
    if (!tooLarge.isEmpty())
        return PictureGrob::refused(tooLarge);
    const QImage picture = reader.read();
    if (picture.isNull())
        return PictureGrob::refused(tr("%1 could not be read as a %2 picture: %3.")
                           .arg(subject, format, reader.errorString()));
    return grobFromPicture(picture, rule, subject);
}

PictureLine pictureFileLine(const QString& path, DarkRule rule)
{
    const QString subject = tr("The file “%1”").arg(QDir::toNativeSeparators(path));
    PictureLine result;
    const FileReadResult read = readWholeFile(QFile::encodeName(path).toStdString());
    if (!read.ok) {
        result.problem =
            tr("%1 could not be opened: %2").arg(subject, QString::fromStdString(read.reason));
        return result;
    }
    const QByteArray bytes =
        QByteArray::fromRawData(read.bytes.data(), static_cast<qsizetype>(read.bytes.size()));
    const PictureGrob picture = grobFromPictureBytes(bytes, rule, subject);
    if (!picture.ok()) {
        result.problem = picture.problem;
        return result;
    }
    result.line = grobObjectLine(*picture.grob);
    return result;
}

bool isPictureFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    // A text that merely starts like a picture ("BM" for a bitmap) has no readable size.
    return reader.canRead() && reader.size().isValid();
}

} // namespace scrivlet
