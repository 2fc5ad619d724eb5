#pragma once

#include <QString>
#include <QTextCursor>
#include <QtGlobal>

#include "rtf/RtfFormats.h"
#include "rtf/RtfPictureResources.h"

class QTextDocument;

// What the reader writes into the document: runs of text in one format,
// paragraph ends and pictures, appended at the document's end, at most
// `capacity` characters (a paragraph end and a picture count one each).
namespace rtf {

struct ShownPicture;

class DocumentOutput {
public:
    DocumentOutput(QTextDocument& document, qsizetype capacity, const TextFormats& formats);

    // Inside an edit block the cursor does not lay out the block after every
    // insertion, which would make writing a long paragraph quadratic.
    void beginEdit() { cursor_.beginEditBlock(); }
    void endEdit() { cursor_.endEditBlock(); }

    // The capacity is used up: nothing more is written.
    bool full() const { return full_; }

    // A character in the format of `props`. Characters are gathered into
    // runs and written when the format changes or something else comes.
    void character(QChar ch, const CharProps& props) {
        if (!(props == runProps_)) startRun(props);
        if (!take(1)) return;
        run_ += ch;
        endedParagraph_ = false;
    }
    // Ends the paragraph in the format of `para`; the next one starts with
    // `chars`' format.
    void endParagraph(const ParaProps& para, const CharProps& chars);
    void picture(const ShownPicture& picture);
    // After the last of the file: a paragraph end with nothing after it
    // opens no empty paragraph; else the last paragraph gets `para`'s format.
    void finish(const ParaProps& para);

private:
    void startRun(const CharProps& props);
    void writeRun();
    // Counts `n` characters against the capacity; false when they do not fit.
    bool take(qsizetype n) {
        if (written_ + n > capacity_) {
            full_ = true;
            return false;
        }
        written_ += n;
        return true;
    }

    QTextCursor cursor_;
    const TextFormats& formats_;
    PictureResources pictures_;
    const qsizetype capacity_;
    qsizetype written_ = 0;
    bool full_ = false;
    bool endedParagraph_ = false;  // nothing came after the last paragraph end
    QString run_;
    CharProps runProps_;
};

}  // namespace rtf
