#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QtGlobal>

#include <optional>

#include "rtf/RtfPictures.h"
#include "rtf/RtfWords.h"

// The \pict destination: the words and data of the picture being read, and
// the picture as the document shows it.
namespace rtf {

// A picture to show: its image (null for a kind that is not drawn or data
// that does not decode) and its display size in pixels, 1 to MaxPictureSide
// a side.
struct ShownPicture {
    QImage image;
    qreal width = 0;
    qreal height = 0;
};

class PictureReader {
public:
    // \pict: a new picture.
    void start() { picture_ = Picture(); }
    // \pngblip, \jpegblip, \wmetafile, \wbitmap, \dibitmap, \picw, \pich,
    // \picwgoal, \pichgoal, \picscalex, \picscaley; others are ignored.
    void word(Word word, int parameter);
    // A byte of the picture's text: hex digits make the data, two a byte;
    // other bytes are ignored. At most MaxPictureBytes are kept.
    void text(unsigned char byte);
    // \bin data, kept as it is, within MaxPictureBytes in all.
    void binary(QByteArrayView data);

    // Ends the picture. When it is `shown` and of a known kind: the picture
    // at its goal size (twips), else its own, scaled by \picscalex/y.
    std::optional<ShownPicture> finish(bool shown);

private:
    struct Picture {
        PictureKind kind = PictureKind::None;
        int width = 0;  // \picw, \pich: pixels for bitmaps, 0.01 mm for metafiles
        int height = 0;
        int goalWidth = 0;  // twips
        int goalHeight = 0;
        int scaleX = 100;
        int scaleY = 100;
        QByteArray data;
        int highNibble = -1;
    };
    Picture picture_;
};

}  // namespace rtf
