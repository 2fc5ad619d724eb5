// Page 0 checks and the password recovery, over arbitrary first pages.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "jet/JetHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray page(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The claimed file size is taken from the input too, so size checks see odd values.
    const std::int64_t fileSize =
        size >= 2 ? static_cast<std::int64_t>(size) * (1 + data[0] % 3) - data[1] % 2
                  : static_cast<std::int64_t>(size);
    const JetHeader::Info info = JetHeader::inspect(page, fileSize);
    if (info.verdict == JetHeader::Verdict::Jet4) {
        JetHeader::passwordMatches(info, QStringLiteral("k5mravt2PLQZB7N"));
        JetHeader::passwordMatches(info, info.password);
        JetHeader::passwordMatches(info, QString());
    }
    if (size >= 0x98) {
        QByteArray copy = page;
        JetHeader::applyHeaderMask(copy.data());
    }
    double date = 0;
    if (size >= sizeof(double)) {
        __builtin_memcpy(&date, data, sizeof(double));
        unsigned char mask[4];
        JetHeader::passwordMask(date, mask);
    }
    return 0;
}
