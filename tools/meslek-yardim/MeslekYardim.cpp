#include "meslek-yardim/MeslekYardim.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include "rtf/HelpDocument.h"

namespace yardim {

namespace {

const char* const Usage =
    "Kullanım: meslek-yardim DOSYA [--html]\n"
    "\n"
    "Yardım penceresinin DOSYA için göstereceğini yazar: düz metin olarak\n"
    "(her paragraf bir satır) ya da --html ile HTML olarak.\n";

void write(QIODevice& device, const QString& text) { device.write(text.toUtf8()); }

}  // namespace

QString documentText(const QTextDocument& document) {
    QString text = document.toPlainText();
    text.replace(QChar::ObjectReplacementCharacter, QStringLiteral("[resim]"));
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    text += u'\n';
    return text;
}

int runMeslekYardim(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    if (arguments.size() == 1 && (arguments.first() == QLatin1String("--help") ||
                                  arguments.first() == QLatin1String("-h"))) {
        write(out, QString::fromUtf8(Usage));
        return 0;
    }
    QString file;
    bool html = false;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--html")) {
            html = true;
        } else if (file.isEmpty() && !argument.startsWith(u'-')) {
            file = argument;
        } else {
            write(err, QStringLiteral("meslek-yardim: beklenmeyen argüman: %1\n\n").arg(argument) +
                           QString::fromUtf8(Usage));
            return 2;
        }
    }
    if (file.isEmpty()) {
        write(err, QStringLiteral("meslek-yardim: dosya adı eksik\n\n") + QString::fromUtf8(Usage));
        return 2;
    }
    QFile input(file);
    if (QFileInfo(file).isDir() || !input.open(QIODevice::ReadOnly)) {
        write(err, QStringLiteral("meslek-yardim: %1 okunamadı: %2\n")
                       .arg(file, QFileInfo(file).isDir() ? QStringLiteral("bir klasör")
                                                          : input.errorString()));
        return 1;
    }
    const QByteArray bytes = input.readAll();
    input.close();

    QTextDocument document;
    loadHelpDocument(bytes, document);
    write(out, html ? document.toHtml() : documentText(document));
    return 0;
}

}  // namespace yardim
