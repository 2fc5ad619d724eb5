#include "widgets/WindowsTextMetrics.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QRawFont>

#include <cmath>

namespace {

// Offsets into the font's big-endian "head" and "OS/2" tables.
constexpr int HeadUnitsPerEm = 18;
constexpr int Os2WinAscent = 74;
constexpr int Os2WinDescent = 76;

bool readUInt16(const QByteArray& table, int offset, int& value) {
    if (offset < 0 || table.size() < offset + 2) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(table.constData());
    value = (bytes[offset] << 8) | bytes[offset + 1];
    return true;
}

}  // namespace

WindowsTextMetrics WindowsTextMetrics::of(const QFont& font) {
    const QFontMetrics qt(font);
    WindowsTextMetrics metrics{qt.ascent(), qt.descent()};

    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return metrics;
    int unitsPerEm = 0;
    int winAscent = 0;
    int winDescent = 0;
    const QByteArray os2 = raw.fontTable("OS/2");
    if (!readUInt16(raw.fontTable("head"), HeadUnitsPerEm, unitsPerEm) || unitsPerEm == 0 ||
        !readUInt16(os2, Os2WinAscent, winAscent) || !readUInt16(os2, Os2WinDescent, winDescent)) {
        return metrics;
    }
    const double scale = raw.pixelSize() / unitsPerEm;
    metrics.ascent = static_cast<int>(std::lround(winAscent * scale));
    metrics.descent = static_cast<int>(std::lround(winDescent * scale));
    return metrics;
}
