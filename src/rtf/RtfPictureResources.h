#pragma once

#include <QSet>
#include <QString>
#include <QTextImageFormat>

class QTextDocument;

// The images of a document's pictures, held as the document's resources.
namespace rtf {

struct ShownPicture;

class PictureResources {
public:
    explicit PictureResources(QTextDocument& document) : document_(document) {}

    // The format that shows `picture` at its size: its image as a resource
    // of its own ("rtf-picture:N"), or, when it has none, an empty grey frame
    // of its size ("rtf-frame:WxH", one image for each size, at most 32
    // sizes, 1024 pixels a side).
    QTextImageFormat add(const ShownPicture& picture);

private:
    QString frame(int width, int height);

    QTextDocument& document_;
    int pictures_ = 0;
    QSet<QString> frames_;
};

}  // namespace rtf
