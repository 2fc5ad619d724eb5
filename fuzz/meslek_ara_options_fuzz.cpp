// meslek-ara's options, over arguments split at NUL bytes. Only parsed (and,
// for wrong usage or --help, answered), so no file is read: a parse that
// succeeds must give the same options again when they are written back as
// arguments.
#include <QBuffer>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

#include "cli/MeslekAra.h"

namespace {

const char* formatName(OutputFormat format) {
    switch (format) {
        case OutputFormat::Tsv:
            return "tsv";
        case OutputFormat::Csv:
            return "csv";
        case OutputFormat::Json:
            return "json";
    }
    return "";
}

QStringList writtenBack(const MeslekAraOptions& options) {
    QStringList args;
    if (!options.database.isNull()) args << QStringLiteral("--db") << options.database;
    if (options.password.text) args << QStringLiteral("--password") << *options.password.text;
    if (options.password.file) args << QStringLiteral("--password-file") << *options.password.file;
    if (!options.orderBy.isEmpty()) args << QStringLiteral("--order-by") << options.orderBy;
    if (options.descending) args << QStringLiteral("--desc");
    if (options.orMode) args << QStringLiteral("--or");
    if (options.plainLatin) args << QStringLiteral("--ascii");
    if (options.help) args << QStringLiteral("--help");
    args << QStringLiteral("--format") << QLatin1String(formatName(options.format));
    args << QStringLiteral("--") << options.terms;
    return args;
}

bool same(const MeslekAraOptions& a, const MeslekAraOptions& b) {
    return a.database == b.database && a.password.text == b.password.text &&
           a.password.file == b.password.file && a.orderBy == b.orderBy &&
           a.descending == b.descending && a.orMode == b.orMode && a.plainLatin == b.plainLatin &&
           a.help == b.help && a.format == b.format && a.terms == b.terms;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList args;
    if (size > 0) {
        const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        for (const QByteArray& arg : bytes.split('\0')) args << QString::fromUtf8(arg);
    }

    MeslekAraOptions options;
    const QString problem = parseMeslekAraOptions(args, options);
    if (problem.isEmpty()) {
        if (options.terms.size() > 2) __builtin_trap();
        if (options.descending && options.orderBy.isEmpty()) __builtin_trap();
        if (options.password.text && options.password.file) __builtin_trap();
        if (options.password.file && options.password.file->isEmpty()) __builtin_trap();
        MeslekAraOptions again;
        if (!parseMeslekAraOptions(writtenBack(options), again).isEmpty()) __builtin_trap();
        if (!same(options, again)) __builtin_trap();
        if (!options.help) return 0;
    }

    // Wrong usage and --help are answered without touching any file.
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int code = runMeslekAra(args, out, err);
    if (problem.isEmpty()) {
        if (code != 0 || !out.data().startsWith("Kullanım: meslek-ara") || !err.data().isEmpty())
            __builtin_trap();
    } else if (code != 2 || !out.data().isEmpty() ||
               !err.data().startsWith("meslek-ara: " + problem.toUtf8() + '\n')) {
        __builtin_trap();
    }
    return 0;
}
