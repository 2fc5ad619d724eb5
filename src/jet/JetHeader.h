#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Page 0 of a Jet database: format checks and the database password, done by
// our own code before libmdb ever sees the file.
namespace JetHeader {

inline constexpr int PageSize = 4096;
inline constexpr int MaskedRegionStart = 0x18;
inline constexpr int MaskedRegionLength = 128;
inline constexpr int PasswordOffset = 0x42;
inline constexpr int PasswordBytes = 40;
inline constexpr int CreationDateOffset = 0x72;
inline constexpr int VersionOffset = 0x14;

// The format decides first: a Jet 3 file (2048-byte pages) is named as such
// whatever its size; only a file that is Jet 4 by its header can be truncated.
enum class Verdict {
    Jet4,         // a Jet 4 file; password fields below are valid
    Empty,        // no bytes at all
    Truncated,    // Jet 4 (or the start of one) but not a whole number of 4096-byte pages
    BadMagic,     // not "\0\1\0\0Standard Jet DB"
    Jet3,         // version byte 0 (Access 97)
    NewerFormat,  // "Standard ACE DB" or version byte >= 2 (Access 2007 and later)
};

// True for the verdicts that mean a damaged or incomplete file rather than another format.
inline bool isDamage(Verdict verdict) {
    return verdict == Verdict::Empty || verdict == Verdict::Truncated;
}

struct Info {
    Verdict verdict = Verdict::Empty;
    int version = -1;
    double creationDate = 0;
    bool hasPassword = false;
    QString password;  // the stored password; never show it to anyone
};

// Inspects the first bytes of a file (at least one page, if the file has one)
// and the file's total size.
Info inspect(const QByteArray& firstPage, std::int64_t fileSize);

// True when `given` opens the file `info` came from: always when the file has
// no password, otherwise only on an exact, case-sensitive match.
bool passwordMatches(const Info& info, const QString& given);

// XORs bytes 0x18..0x97 of page 0 with the fixed RC4 key stream (it is its own inverse).
void applyHeaderMask(char* page0);

// The 4-byte password mask derived from the creation date (truncated toward
// zero, saturated to the int32 range, NaN as 0), little-endian.
void passwordMask(double creationDate, unsigned char mask[4]);

// A short Turkish phrase naming a verdict, for messages ("Access 97 (Jet 3) biçiminde" ...).
QString describe(Verdict verdict);

}  // namespace JetHeader
