#pragma once

#include "calculator/grob_object.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

namespace scrivlet {

// Pictures and GROBs, both ways, without files.
//
// Picture to GROB: every pixel is first laid over white (a fully transparent pixel is white,
// a half transparent one a mix of its colour and white), then its luma is taken from the
// stored 8-bit values, Y = 0.299 R + 0.587 G + 0.114 B, the weights the JPEG and video
// standards use (Rec. 601) and Qt's qGray approximates. With Threshold a pixel is dark (set)
// when Y is below half of full scale, 127.5. With Dither the choice is the same but the
// difference between a pixel's luma and the black or white it became is carried on to its
// unvisited neighbours (Floyd–Steinberg: 7/16 right, 3/16 below left, 5/16 below, 1/16 below
// right), rows from top to bottom, each row left to right, so the share of dark pixels in an
// area follows its greyness. A fully transparent pixel stays unset in both modes, whatever
// error reaches it, and passes nothing on. Padding bits past the width are left unset.
//
// Pictures up to kMaxPictureSide pixels each way are taken, as long as the GROB's data fits
// its length field (at 2,048 pixels wide that is 2,047 rows); anything else gives a problem
// and no GROB.
//
// GROB to picture: a 1-bit image, set pixels black on white, padding bits ignored.
enum class DarkRule { Threshold, Dither };

inline constexpr int kMaxPictureSide = 2048;

struct PictureGrob {
    std::optional<GrobObject> grob;
    QString problem; // a sentence, empty when grob holds the result

    bool ok() const { return grob.has_value(); }
    static PictureGrob refused(const QString& problem) { return {std::nullopt, problem}; }
};

// What keeps a picture of `size` from becoming a GROB, as a sentence starting with `subject`;
// empty when nothing does.
QString pictureSizeProblem(QSize size, const QString& subject);

// `subject` starts the problem sentence: "The picture", "The file “a.png”".
PictureGrob grobFromPicture(const QImage& picture, DarkRule rule,
                            const QString& subject = QString());

// The GROB's pixels at full size; a null image when the GROB has no pixels.
QImage pictureFromGrob(const GrobObject& grob);

// The largest zoom from 1 to 8 at which a picture of `size` fits into `room`; 1 when even the
// full size does not fit. A 131×80 screen in 640×480 gets 4.
int grobPreviewZoom(QSize size, QSize room);

// The GROB's pixels at an integer zoom (1 to 8), each pixel a zoom × zoom square.
QImage grobPreview(const GrobObject& grob, int zoom);

// The GROB as the bytes of a 1-bit PNG file; empty when the GROB has no pixels.
std::string grobPngBytes(const GrobObject& grob);

} // namespace scrivlet
