#include "rtf/HelpDocument.h"

#include <algorithm>
#include <vector>

#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "rtf/CodePages.h"
#include "rtf/RtfReader.h"

namespace {

struct WebAddress {
    qsizetype start;
    qsizetype length;
    QString href;
};

// The bare web addresses of `text`: "http://", "https://" or "www." up to the
// next blank or separator, without trailing punctuation.
std::vector<WebAddress> findWebAddresses(const QString& text) {
    static const QRegularExpression address(
        QStringLiteral(R"((?:https?://|www\.)[^\s<>"\x{2028}\x{2029}\x{FFFC}]+)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QString trailing = QStringLiteral(".,;:!?)]}'\u2019\u201D");
    std::vector<WebAddress> found;
    for (auto it = address.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qsizetype start = match.capturedStart();
        // A match inside a longer word ("xwww.") is no address.
        if (start > 0 && text[start - 1].isLetterOrNumber()) continue;
        QString url = match.captured();
        while (!url.isEmpty() && trailing.contains(url.back())) url.chop(1);
        if (url.endsWith(QLatin1String("://")) ||
            url.compare(QLatin1String("www."), Qt::CaseInsensitive) == 0) {
            continue;
        }
        const qsizetype length = url.size();
        if (url.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) url.prepend(u"http://");
        found.push_back(WebAddress{start, length, url});
    }
    return found;
}

// Plain text with its addresses as links, inserted in one pass.
void insertPlainText(const QString& text, QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();  // no layout after every insertion
    const QTextCharFormat plain;
    qsizetype done = 0;
    for (const WebAddress& a : findWebAddresses(text)) {
        cursor.insertText(text.mid(done, a.start - done), plain);
        cursor.insertText(text.mid(a.start, a.length), rtf::linkFormat(a.href));
        done = a.start + a.length;
    }
    cursor.insertText(text.mid(done), plain);
    cursor.endEditBlock();
}

}  // namespace

void loadHelpDocument(const QByteArray& bytes, QTextDocument& document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    // Line ends stay as they are for RTF: the reader ignores them, and \bin
    // data must reach it unchanged.
    if (bytes.startsWith("{\\rtf")) {
        rtf::readRtf(bytes, document, HelpTextCapacity);
        markWebAddresses(document);
    } else {
        insertPlainText(plainHelpText(bytes), document);
    }
    document.setUndoRedoEnabled(undo);
}

QString plainHelpText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = codepages::decode(bytes, 1254);
    // CR LF and CR alone become LF, in one pass.
    QChar* out = text.data();
    const QChar* in = text.constData();
    const QChar* const end = in + text.size();
    qsizetype n = 0;
    while (in < end) {
        const QChar c = *in++;
        if (c == u'\r') {
            if (in < end && *in == u'\n') ++in;
            out[n++] = u'\n';
        } else {
            out[n++] = c;
        }
    }
    text.truncate(std::min<qsizetype>(n, HelpTextCapacity));
    return text;
}

void markWebAddresses(QTextDocument& document) {
    // Positions in the raw text are document positions.
    const QString text = document.toRawText();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();  // no layout after every change
    for (const WebAddress& a : findWebAddresses(text)) {
        const int from = static_cast<int>(a.start);
        cursor.setPosition(from + 1);
        if (cursor.charFormat().isAnchor()) continue;
        cursor.setPosition(from);
        cursor.setPosition(from + static_cast<int>(a.length), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(rtf::linkFormat(a.href));
    }
    cursor.endEditBlock();
}
