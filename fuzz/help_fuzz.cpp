// The help file reader over arbitrary bytes: RTF (most inputs are made to
// start with "{\rtf") and plain text, with a small capacity now and then.
#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

#include "rtf/HelpDocument.h"
#include "rtf/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // A text document measures fonts, which takes a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1),
                          static_cast<qsizetype>(size - 1));
    QTextDocument document;
    switch (data[0] % 4) {
        case 0:
            loadHelpDocument(rest, document);
            break;
        case 1:
            loadHelpDocument("{\\rtf1 " + rest, document);
            break;
        case 2:
            loadHelpDocument("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset162 A;}}" + rest,
                             document);
            break;
        default: {
            const qsizetype capacity = data[0] / 4;
            rtf::readRtf("{\\rtf1 " + rest, document, capacity);
            // characterCount() counts the final paragraph separator too.
            if (document.characterCount() - 1 > capacity) __builtin_trap();
        }
    }
    if (document.characterCount() - 1 > HelpTextCapacity) __builtin_trap();
    return 0;
}
