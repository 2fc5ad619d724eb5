#include "base/SystemErrorText.h"

#include <cerrno>
#include <cstring>

QString systemErrorText(int error) {
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
            return QStringLiteral("sembolik bağlantılar döngü oluşturuyor");
        case ENAMETOOLONG:
            return QStringLiteral("dosya yolu çok uzun");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("açık dosya sayısı sınıra ulaştı; başka programları kapatın");
        case ENOMEM:
            return QStringLiteral("bellek yetmedi");
        case EIO:
            return QStringLiteral("giriş/çıkış hatası");
        case EAGAIN:
            return QStringLiteral("kaynak şu an kullanılamıyor; biraz sonra yeniden deneyin");
        case ENXIO:
        case ENODEV:
            return QStringLiteral("aygıt yok ya da hazır değil");
        case ESTALE:
            return QStringLiteral("ağ üzerindeki dosya artık geçerli değil");
        case ENOSPC:
            return QStringLiteral("aygıtta yer kalmadı");
        case EDQUOT:
            return QStringLiteral("disk kotası doldu");
        case EFBIG:
            return QStringLiteral("dosya çok büyük");
        case EBADF:
            return QStringLiteral("dosya tanımlayıcısı kapalı");
        case EPIPE:
            return QStringLiteral("okuyan taraf kapandı");
        default:
            return QStringLiteral("sistem hatası %1: %2")
                .arg(error)
                .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}
