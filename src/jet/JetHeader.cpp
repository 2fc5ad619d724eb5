#include "jet/JetHeader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace JetHeader {

namespace {

// The RC4 key stream of the fixed key C7 DA 39 6B, computed once at compile time.
constexpr std::array<unsigned char, MaskedRegionLength> makeHeaderKeyStream() {
    constexpr unsigned char key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i) s[i] = static_cast<unsigned char>(i);
    int j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        const unsigned char t = s[i];
        s[i] = s[j];
        s[j] = t;
    }
    std::array<unsigned char, MaskedRegionLength> out{};
    int a = 0;
    int b = 0;
    for (int n = 0; n < MaskedRegionLength; ++n) {
        a = (a + 1) & 0xFF;
        b = (b + s[a]) & 0xFF;
        const unsigned char t = s[a];
        s[a] = s[b];
        s[b] = t;
        out[n] = s[(s[a] + s[b]) & 0xFF];
    }
    return out;
}

constexpr auto HeaderKeyStream = makeHeaderKeyStream();
static_assert(HeaderKeyStream[0] == 0xB5 && HeaderKeyStream[1] == 0x6F &&
              HeaderKeyStream[15] == 0x9C);

constexpr unsigned char Magic[4] = {0x00, 0x01, 0x00, 0x00};
constexpr char JetEngine[] = "Standard Jet DB";
constexpr char AceEngine[] = "Standard ACE DB";
constexpr int EngineOffset = 4;
constexpr int EngineLength = 15;
// Everything up to the end of the masked region is needed to read the password.
constexpr int HeaderBytesNeeded = MaskedRegionStart + MaskedRegionLength;

double readDouble(const unsigned char* p) {
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

void applyHeaderMask(char* page0) {
    for (int i = 0; i < MaskedRegionLength; ++i)
        page0[MaskedRegionStart + i] = static_cast<char>(
            static_cast<unsigned char>(page0[MaskedRegionStart + i]) ^ HeaderKeyStream[i]);
}

void passwordMask(double creationDate, unsigned char mask[4]) {
    std::int32_t days = 0;
    if (std::isnan(creationDate)) {
        days = 0;
    } else if (creationDate >= 2147483647.0) {
        days = std::numeric_limits<std::int32_t>::max();
    } else if (creationDate <= -2147483648.0) {
        days = std::numeric_limits<std::int32_t>::min();
    } else {
        days = static_cast<std::int32_t>(creationDate);  // in range: truncates toward zero
    }
    const auto bits = static_cast<std::uint32_t>(days);
    for (int i = 0; i < 4; ++i) mask[i] = static_cast<unsigned char>(bits >> (8 * i));
}

Info inspect(const QByteArray& firstPage, std::int64_t fileSize) {
    Info info;
    const auto have = static_cast<std::size_t>(firstPage.size());
    const char* head = firstPage.constData();
    if (fileSize <= 0 || have == 0) {
        info.verdict = fileSize <= 0 ? Verdict::Empty : Verdict::Truncated;
        return info;
    }
    // The bytes that are there must agree with the magic and the engine name;
    // a file that stops inside them is the start of a database, cut short.
    auto agrees = [&](std::size_t offset, const char* expected, std::size_t length) {
        if (have <= offset) return true;
        return std::memcmp(head + offset, expected, std::min(length, have - offset)) == 0;
    };
    if (!agrees(0, reinterpret_cast<const char*>(Magic), sizeof Magic)) {
        info.verdict = Verdict::BadMagic;
        return info;
    }
    const bool jet = agrees(EngineOffset, JetEngine, EngineLength);
    const bool ace = agrees(EngineOffset, AceEngine, EngineLength);
    if (!jet && !ace) {
        info.verdict = Verdict::BadMagic;
        return info;
    }
    if (have <= static_cast<std::size_t>(VersionOffset)) {
        info.verdict = Verdict::Truncated;
        return info;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(head);
    info.version = bytes[VersionOffset];
    if (!jet || info.version >= 2) {
        info.verdict = Verdict::NewerFormat;
        return info;
    }
    if (info.version == 0) {
        info.verdict = Verdict::Jet3;
        return info;
    }
    if (fileSize < PageSize || fileSize % PageSize != 0 ||
        have < static_cast<std::size_t>(HeaderBytesNeeded)) {
        info.verdict = Verdict::Truncated;
        return info;
    }

    info.verdict = Verdict::Jet4;
    unsigned char header[HeaderBytesNeeded];
    std::memcpy(header, bytes, HeaderBytesNeeded);
    applyHeaderMask(reinterpret_cast<char*>(header));
    info.creationDate = readDouble(header + CreationDateOffset);

    unsigned char mask[4];
    passwordMask(info.creationDate, mask);
    unsigned char stored[PasswordBytes];
    bool allZero = true;
    for (int i = 0; i < PasswordBytes; ++i) {
        stored[i] = header[PasswordOffset + i] ^ mask[i % 4];
        allZero = allZero && stored[i] == 0;
    }
    if (allZero) return info;

    info.hasPassword = true;
    for (int i = 0; i + 1 < PasswordBytes; i += 2) {
        const char16_t unit = static_cast<char16_t>(stored[i] | (stored[i + 1] << 8));
        if (unit == 0) break;
        info.password.append(QChar(unit));
    }
    return info;
}

bool passwordMatches(const Info& info, const QString& given) {
    if (info.verdict != Verdict::Jet4) return false;
    if (!info.hasPassword) return true;
    // QString equality compares UTF-16 code units: no case folding, no normalisation.
    return info.password == given;
}

QString describe(Verdict verdict) {
    switch (verdict) {
        case Verdict::Jet4:
            return QStringLiteral("Access 2000-2003 (Jet 4) biçiminde");
        case Verdict::Empty:
            return QStringLiteral("dosya boş");
        case Verdict::Truncated:
            return QStringLiteral(
                "dosyanın boyu 4096 baytlık sayfaların tam katı değil; dosya yarım kalmış");
        case Verdict::BadMagic:
            return QStringLiteral("dosya başlığı tanınmadı");
        case Verdict::Jet3:
            return QStringLiteral("Access 97 (Jet 3) biçiminde");
        case Verdict::NewerFormat:
            return QStringLiteral("Access 2007 ya da daha yeni biçimde");
    }
    return QStringLiteral("dosya başlığı tanınmadı");
}

}  // namespace JetHeader
