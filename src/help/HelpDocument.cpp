#include "help/HelpDocument.h"

#include <QString>
#include <QTextDocument>

// For now every file is read as UTF-8 plain text.
void loadHelpDocument(const QByteArray& bytes, QTextDocument& document) {
    document.setPlainText(QString::fromUtf8(bytes).left(HelpTextCapacity));
}
