#include "help/HelpDocument.h"

#include <algorithm>

#include <QColor>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "help/CodePages.h"
#include "help/RtfReader.h"

void loadHelpDocument(const QByteArray& bytes, QTextDocument& document) {
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    // Line ends stay as they are for RTF: the reader ignores them, and \bin
    // data must reach it unchanged.
    if (bytes.startsWith("{\\rtf")) {
        rtf::readRtf(bytes, document, HelpTextCapacity);
    } else {
        document.setPlainText(plainHelpText(bytes));
    }
    markWebAddresses(document);
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
    static const QRegularExpression address(QStringLiteral(R"((?:https?://|www\.)[^\s<>"]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QString trailing = QStringLiteral(".,;:!?)]}'\u2019\u201D");
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (!text.contains(QLatin1String("://")) &&
            !text.contains(QLatin1String("www."), Qt::CaseInsensitive)) {
            continue;
        }
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
            const int from = block.position() + static_cast<int>(start);
            cursor.setPosition(from + 1);
            if (cursor.charFormat().isAnchor()) continue;
            cursor.setPosition(from);
            cursor.setPosition(from + static_cast<int>(url.size()), QTextCursor::KeepAnchor);
            QTextCharFormat link;
            link.setAnchor(true);
            link.setAnchorHref(url.startsWith(QLatin1String("www."), Qt::CaseInsensitive)
                                   ? QStringLiteral("http://") + url
                                   : url);
            link.setFontUnderline(true);
            link.setForeground(QColor(0, 0, 255));
            cursor.mergeCharFormat(link);
        }
    }
}
