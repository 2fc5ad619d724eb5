#include "base/SystemErrors.h"

#include <cerrno>
#include <cstring>

QString describeSystemError(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("böyle bir dosya yok");
        case EACCES:
        case EPERM:
            return QStringLiteral("okuma izni yok");
        case EISDIR:
            return QStringLiteral("bir klasör, dosya değil");
        case ENOTDIR:
            return QStringLiteral("yolun bir parçası klasör değil");
        case ELOOP:
            return QStringLiteral("bağlantı döngüsü (sembolik bağlantılar birbirini gösteriyor)");
        case ENAMETOOLONG:
            return QStringLiteral("yol çok uzun");
        case ENOSPC:
            return QStringLiteral("aygıtta yer kalmadı");
        case EDQUOT:
            return QStringLiteral("disk kotası doldu");
        case EFBIG:
            return QStringLiteral("dosya çok büyük");
        case EIO:
            return QStringLiteral("giriş/çıkış hatası");
        case EBADF:
            return QStringLiteral("dosya tanımlayıcısı kapalı");
        case EPIPE:
            return QStringLiteral("okuyan taraf kapandı");
        default:
            return QStringLiteral("sistem hatası %1 (%2)")
                .arg(error)
                .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}
