#include "rtf/RtfDocumentOutput.h"

#include <QTextDocument>

#include "rtf/RtfPictureReader.h"

namespace rtf {

DocumentOutput::DocumentOutput(QTextDocument& document, qsizetype capacity,
                               const TextFormats& formats)
    : cursor_(&document), formats_(formats), pictures_(document), capacity_(capacity) {
    cursor_.movePosition(QTextCursor::End);
}

void DocumentOutput::startRun(const CharProps& props) {
    writeRun();
    runProps_ = props;
}

void DocumentOutput::writeRun() {
    if (run_.isEmpty()) return;
    cursor_.insertText(run_, formats_.charFormat(runProps_));
    run_.resize(0);
}

void DocumentOutput::endParagraph(const ParaProps& para, const CharProps& chars) {
    writeRun();
    if (!take(1)) return;
    cursor_.setBlockFormat(formats_.blockFormat(para));
    cursor_.setBlockCharFormat(formats_.charFormat(chars));
    cursor_.insertBlock();
    endedParagraph_ = true;
}

void DocumentOutput::picture(const ShownPicture& picture) {
    writeRun();
    if (!take(1)) return;
    cursor_.insertImage(pictures_.add(picture));
    endedParagraph_ = false;
}

void DocumentOutput::finish(const ParaProps& para) {
    writeRun();
    if (endedParagraph_) {
        cursor_.deletePreviousChar();
        return;
    }
    cursor_.setBlockFormat(formats_.blockFormat(para));
}

}  // namespace rtf
