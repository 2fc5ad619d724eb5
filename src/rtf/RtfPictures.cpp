#include "rtf/RtfPictures.h"

#include <QBuffer>
#include <QImageReader>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "rtf/RtfReader.h"

namespace rtf {

namespace {

// Sends the process's error output nowhere while it lives: libpng writes its
// errors there itself, not through Qt's message handling.
class ErrorOutputSilenced {
public:
    ErrorOutputSilenced() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && nowhere >= 0) ::dup2(nowhere, STDERR_FILENO);
        if (nowhere >= 0) ::close(nowhere);
    }
    ~ErrorOutputSilenced() {
        std::fflush(stderr);
        if (saved_ < 0) return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    ErrorOutputSilenced(const ErrorOutputSilenced&) = delete;
    ErrorOutputSilenced& operator=(const ErrorOutputSilenced&) = delete;

private:
    int saved_ = -1;
};

// A device-independent bitmap (a BITMAPINFO and the pixels) as a BMP file: a
// file header that puts the pixels after the info header and the palette.
// Nothing when the info header does not hold together.
QByteArray bmpFile(const QByteArray& dib) {
    auto read = [&dib](qsizetype at, int bytes) -> quint32 {
        quint32 v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(dib[at + i]);
        return v;
    };
    if (dib.size() < 12) return {};
    const quint32 headerSize = read(0, 4);
    if (headerSize < 12 || headerSize > 1024 || headerSize > quint32(dib.size())) return {};
    quint32 palette = 0;
    if (headerSize == 12) {
        const quint32 bits = read(10, 2);
        palette = bits <= 8 ? 3u << bits : 0;
    } else {
        if (headerSize < 36) return {};
        const quint32 bits = read(14, 2);
        const quint32 used = read(32, 4);
        palette = 4 * (used != 0 ? std::min<quint32>(used, 256) : bits <= 8 ? 1u << bits : 0);
        if (headerSize == 40 && read(16, 4) == 3) palette += 12;  // BI_BITFIELDS masks
    }
    const quint32 offset = 14 + headerSize + palette;
    QByteArray file("BM");
    for (quint32 v : {quint32(dib.size() + 14), quint32(0), offset}) {
        for (int i = 0; i < 4; ++i) file += static_cast<char>(v >> (8 * i) & 0xFF);
    }
    return file + dib;
}

}  // namespace

QImage decodePicture(PictureKind kind, const QByteArray& data) {
    if (kind != PictureKind::Png && kind != PictureKind::Jpeg && kind != PictureKind::Dib)
        return {};
    QByteArray bytes = kind == PictureKind::Dib ? bmpFile(data) : data;
    if (bytes.isEmpty()) return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    static constexpr const char* formats[] = {"", "png", "jpeg", "bmp"};
    QImageReader reader(&buffer, formats[static_cast<int>(kind)]);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > MaxDecodedPixels) return {};
    // Bad data is a null image; libpng would also say so on the error output,
    // past Qt's message handling.
    const ErrorOutputSilenced silenced;
    QImage image;
    if (!reader.read(&image)) return {};
    return image;
}

}  // namespace rtf
