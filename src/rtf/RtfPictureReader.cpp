#include "rtf/RtfPictureReader.h"

#include <algorithm>
#include <utility>

#include "rtf/RtfFormats.h"
#include "rtf/RtfLexer.h"
#include "rtf/RtfReader.h"

namespace rtf {

void PictureReader::word(Word word, int parameter) {
    const int size = std::clamp(parameter, 0, MaxParameter);
    switch (word) {
        case Word::PngBlip:
            picture_.kind = PictureKind::Png;
            break;
        case Word::JpegBlip:
            picture_.kind = PictureKind::Jpeg;
            break;
        case Word::Metafile:
            picture_.kind = PictureKind::Metafile;
            break;
        case Word::Bitmap:
            picture_.kind = PictureKind::Bitmap;
            break;
        case Word::DeviceIndependentBitmap:
            picture_.kind = PictureKind::Dib;
            break;
        case Word::PicW:
            picture_.width = size;
            break;
        case Word::PicH:
            picture_.height = size;
            break;
        case Word::PicWGoal:
            picture_.goalWidth = size;
            break;
        case Word::PicHGoal:
            picture_.goalHeight = size;
            break;
        case Word::PicScaleX:
            picture_.scaleX = std::clamp(parameter, 1, 1000);
            break;
        case Word::PicScaleY:
            picture_.scaleY = std::clamp(parameter, 1, 1000);
            break;
        default:
            break;
    }
}

void PictureReader::text(unsigned char byte) {
    const int v = hexDigitValue(static_cast<char>(byte));
    if (v < 0) return;
    if (picture_.highNibble < 0) {
        picture_.highNibble = v;
        return;
    }
    if (picture_.data.size() < MaxPictureBytes) {
        picture_.data.append(static_cast<char>(picture_.highNibble * 16 + v));
    }
    picture_.highNibble = -1;
}

void PictureReader::binary(QByteArrayView data) {
    const qsizetype room = MaxPictureBytes - picture_.data.size();
    picture_.data.append(data.first(std::clamp<qsizetype>(data.size(), 0, room)));
}

std::optional<ShownPicture> PictureReader::finish(bool shown) {
    const Picture pic = std::exchange(picture_, Picture());
    if (!shown || pic.kind == PictureKind::None) return std::nullopt;
    ShownPicture picture{decodePicture(pic.kind, pic.data)};
    // The display size: the goal size in twips, else the picture's own.
    qreal width = 0;
    qreal height = 0;
    if (pic.goalWidth > 0 && pic.goalHeight > 0) {
        width = pixels(pic.goalWidth);
        height = pixels(pic.goalHeight);
    } else if (!picture.image.isNull()) {
        width = picture.image.width();
        height = picture.image.height();
    } else if (pic.kind == PictureKind::Metafile) {
        width = pic.width * 96.0 / 2540.0;
        height = pic.height * 96.0 / 2540.0;
    } else {
        width = pic.width;
        height = pic.height;
    }
    picture.width = std::clamp(width * pic.scaleX / 100.0, 1.0, qreal(MaxPictureSide));
    picture.height = std::clamp(height * pic.scaleY / 100.0, 1.0, qreal(MaxPictureSide));
    return picture;
}

}  // namespace rtf
