#include "jet/ProviderMessages.h"

#include <QFileInfo>

namespace ProviderMessages {

QString providerNotFound(const QString& provider) {
    return QStringLiteral(
               "\"%1\" veri sağlayıcısı bulunamadı. Bu program yalnızca "
               "\"Microsoft.Jet.OLEDB.4.0\" sağlayıcısıyla çalışır; bağlantı ayarlarını düzeltin.")
        .arg(provider);
}

QString badConnectionString(const QString& detail) {
    return QStringLiteral("Bağlantı dizesi okunamadı: %1. Bağlantı ayarlarını düzeltin.")
        .arg(detail);
}

QString missingDataSource() {
    return QStringLiteral(
        "Bağlantı dizesinde veritabanı dosyası (Data Source) belirtilmemiş. Bağlantı "
        "ayarlarına veritabanı dosyasının yolunu ekleyin.");
}

QString missingFolder(const QString& folder, const QString& file) {
    return QStringLiteral(
               "Veritabanı klasörü bulunamadı: \"%1\". Programı bu klasörü içeren klasörden "
               "başlatın ya da veritabanı dosyasını (%2) bu klasöre koyun.")
        .arg(folder, QFileInfo(file).fileName());
}

QString missingFile(const QString& file) {
    return QStringLiteral(
               "Veritabanı dosyası bulunamadı: \"%1\". Dosyanın yerinde olduğundan emin olun "
               "ya da programı doğru çalışma klasöründen başlatın.")
        .arg(file);
}

QString notAFile(const QString& file, const QString& what) {
    if (what.isEmpty()) {
        return QStringLiteral("\"%1\" bir dosya değil. Bu yola veritabanı dosyasını koyun.")
            .arg(file);
    }
    return QStringLiteral("\"%1\" bir dosya değil, %2. Bu yola veritabanı dosyasını koyun.")
        .arg(file, what);
}

QString brokenLink(const QString& file) {
    return QStringLiteral(
               "\"%1\" bir sembolik bağlantı, ama gösterdiği dosya yok. Bağlantıyı düzeltin "
               "ya da yerine veritabanı dosyasını koyun.")
        .arg(file);
}

QString fileWhereFolderShouldBe(const QString& notFolder, const QString& file) {
    return QStringLiteral(
               "\"%1\" bir klasör değil, bu yüzden veritabanı dosyası \"%2\" bulunamadı. "
               "Yolu düzeltin ya da o adla veritabanı dosyasını içeren bir klasör koyun.")
        .arg(notFolder, file);
}

QString linkLoop(const QString& file) {
    return QStringLiteral(
               "\"%1\" açılamadı: yoldaki sembolik bağlantılar bir döngü oluşturuyor (ya da "
               "çok fazla bağlantı iç içe). Bağlantıları düzeltin ya da yerine veritabanı "
               "dosyasını koyun.")
        .arg(file);
}

QString noFolderPermission(const QString& folder, const QString& file) {
    return QStringLiteral(
               "\"%1\" klasörüne girme izni yok, bu yüzden veritabanı dosyası \"%2\" "
               "açılamadı. Klasörün izinlerini denetleyin ya da programı bu klasöre girebilen "
               "bir kullanıcıyla çalıştırın.")
        .arg(folder, file);
}

QString noReadPermission(const QString& file) {
    return QStringLiteral(
               "Veritabanı dosyası açılamadı: \"%1\" (okuma izni yok). Dosyanın okuma iznini "
               "denetleyin ya da programı dosyayı okuyabilen bir kullanıcıyla çalıştırın.")
        .arg(file);
}

QString cannotOpenFile(const QString& file, const QString& reason) {
    return QStringLiteral(
               "Veritabanı dosyası açılamadı: \"%1\" (%2). Sorun giderildikten sonra yeniden "
               "deneyin.")
        .arg(file, reason);
}

QString programFilePasswordAdvice() {
    return QStringLiteral("programın kendi veritabanı dosyasını kullanın");
}

QString wrongPassword(const QString& file, const QString& advice) {
    return QStringLiteral(
               "\"%1\" veritabanının parolası geçersiz. Dosya başka bir parolayla korunuyor; "
               "%2.")
        .arg(file, advice);
}

QString notJet4(const QString& file, const QString& reason) {
    return QStringLiteral(
               "\"%1\" tanınan biçimde bir veritabanı dosyası değil (%2). Dosya Access 2000-2003 "
               "(Jet 4) biçiminde olmalı; doğru dosyayı kullanın.")
        .arg(file, reason);
}

QString damagedFile(const QString& file, const QString& reason) {
    return QStringLiteral(
               "\"%1\" veritabanı dosyası bozuk, okunamadı (%2). Dosyanın sağlam bir kopyasını "
               "yerine koyun.")
        .arg(file, reason);
}

QString incompleteFile(const QString& file, const QString& reason) {
    return QStringLiteral(
               "\"%1\" veritabanı dosyası eksik ya da bozuk (%2). Dosya yarım kopyalanmış ya "
               "da indirilmiş olabilir; dosyanın tam bir kopyasını yerine koyun.")
        .arg(file, reason);
}

QString tableMissing(const QString& table, const QString& file) {
    return QStringLiteral(
               "\"%1\" tablosu \"%2\" veritabanında bulunamadı. Doğru veritabanı dosyasını "
               "kullanın.")
        .arg(table, file);
}

QString syntaxError(const QString& statement) {
    return QStringLiteral(
               "SQL deyiminde sözdizimi hatası: \"%1\". Desteklenen biçim: select * FROM tablo "
               "[ORDER BY sütun [ASC|DESC]].")
        .arg(statement.trimmed());
}

QString unknownColumn(const QString& column, const QString& table) {
    return QStringLiteral(
               "\"%1\" sütunu \"%2\" tablosunda yok. Sıralama için tablodaki bir sütunun adını "
               "kullanın.")
        .arg(column, table);
}

QString readerMissing(const QString& readerPath) {
    return QStringLiteral(
               "Veritabanı okuyucusu bulunamadı: \"%1\". Program eksik kurulmuş; yeniden kurun.")
        .arg(readerPath);
}

QString readerFailed(const QString& reason) {
    return QStringLiteral("Veritabanı okuyucusu başlatılamadı (%1). Programı yeniden kurun.")
        .arg(reason);
}

}  // namespace ProviderMessages
