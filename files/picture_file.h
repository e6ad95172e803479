#pragma once

#include "files/grob_picture.h"

#include <QByteArray>
#include <QString>
#include <string>

namespace scrivlet {

// Picture files turned into GROB lines, for drops and the window's commands.
//
// Whether bytes are a picture is decided by their content, never by the file's name: whatever
// Qt's image readers recognise (PNG, BMP, GIF, JPEG, PBM/PGM/PPM, XBM and the like). An
// animated picture gives its first frame. A file is read whole with the limits of every file
// the program opens; a picture's size is checked from its header before its pixels are
// decoded, so a huge picture is refused without being unpacked. Nothing is produced on any
// problem; the problem is a sentence that names the file and the reason.
struct PictureLine {
    std::string line; // "GROB w h digits" CR LF, the form a dropped .gro file gives
    QString problem;  // empty when line holds the result

    bool ok() const { return problem.isEmpty(); }
};

PictureLine pictureFileLine(const QString& path, DarkRule rule);

// The bytes of a picture file turned into a GROB; `subject` starts a problem sentence.
PictureGrob grobFromPictureBytes(const QByteArray& bytes, DarkRule rule, const QString& subject);

// Whether the path names a regular file whose header one of Qt's image readers knows and
// reads a size from. Only the start of the file is read.
bool isPictureFile(const QString& path);

} // namespace scrivlet
