#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

// The pictures of an RTF file: which kinds there are, and the decoding of the
// kinds that are shown (PNG, JPEG and device-independent bitmaps).
namespace rtf {

enum class PictureKind : std::uint8_t { None, Png, Jpeg, Dib, Metafile, Bitmap };

// The picture in `data`, or a null image: for kinds that are not shown, for
// data that does not decode, and past MaxDecodedPixels (RtfReader.h). A
// device-independent bitmap is a BITMAPINFO and its pixels, without a file
// header. Says nothing on the error output, whatever the data.
QImage decodePicture(PictureKind kind, const QByteArray& data);

}  // namespace rtf
