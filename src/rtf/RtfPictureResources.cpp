#include "rtf/RtfPictureResources.h"

#include <QImage>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

#include "rtf/RtfPictureReader.h"

namespace rtf {

QTextImageFormat PictureResources::add(const ShownPicture& picture) {
    QString name;
    if (picture.image.isNull()) {
        name = frame(qRound(picture.width), qRound(picture.height));
    } else {
        name = QStringLiteral("rtf-picture:%1").arg(++pictures_);
        document_.addResource(QTextDocument::ImageResource, QUrl(name), picture.image);
    }
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(picture.width);
    f.setHeight(picture.height);
    return f;
}

QString PictureResources::frame(int width, int height) {
    constexpr int MaxFrameSide = 1024;
    const int w = std::clamp(width, 1, MaxFrameSide);
    const int h = std::clamp(height, 1, MaxFrameSide);
    const QString name = QStringLiteral("rtf-frame:%1x%2").arg(w).arg(h);
    if (frames_.contains(name)) return name;
    if (frames_.size() >= 32) return *frames_.constBegin();
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb grey = qRgb(128, 128, 128);
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, 0, grey);
        image.setPixel(x, h - 1, grey);
    }
    for (int y = 0; y < h; ++y) {
        image.setPixel(0, y, grey);
        image.setPixel(w - 1, y, grey);
    }
    document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    frames_.insert(name);
    return name;
}

}  // namespace rtf
