#include "web/WebProfile.h"

#include <QCoreApplication>

#include "BundledList.h"
#include "web/OwnBanner.h"
#include "web/OwnStartPage.h"

namespace {

// Scheme, host and path joined, nothing else.
QUrl siteAddress(const QString& host, const char* path) {
    return QUrl(QStringLiteral("http://") + host + QLatin1String(path));
}

}  // namespace

WebProfile WebProfile::forSite(const MakerSite& site) {
    WebProfile profile;
    profile.site_ = site;
    return profile;
}

WebProfile WebProfile::withoutSite(const QString& pageFile) {
    WebProfile profile;
    profile.pageFile_ = pageFile;
    return profile;
}

WebProfile WebProfile::builtIn() {
    const MakerSite site = builtInSite();
    if (site.exists()) return forSite(site);
    return withoutSite(ownStartPageFor(QCoreApplication::applicationFilePath()));
}

QUrl WebProfile::ownPageAddress() const {
    return pageFile_.isEmpty() ? QUrl() : QUrl::fromLocalFile(pageFile_);
}

QUrl WebProfile::panelPage() const {
    if (hasSite()) return siteAddress(site_.host, "/personel.htm");
    return pageFile_.isEmpty() ? builtInStartPage() : ownPageAddress();
}

QUrl WebProfile::labelAddress() const {
    return hasSite() ? siteAddress(site_.host, "/personel.htm") : ownPageAddress();
}

QUrl WebProfile::bannerAddress() const {
    return hasSite() ? siteAddress(site_.host, "/download/Dermansa.exe") : ownPageAddress();
}

QUrl WebProfile::closingPage() const {
    if (!hasSite()) return {};
    return siteAddress(site_.domain, "/Online_Bordro_Ucret_Maas_Hesaplama.htm");
}

QPixmap WebProfile::bannerPicture() const {
    return hasSite() ? QPixmap(QStringLiteral(":/web/banner.png")) : drawOwnBanner();
}

QString WebProfile::bannerName() const {
    return hasSite() ? QStringLiteral("Dermansa programını indir")
                     : QStringLiteral("Program sayfasını aç");
}

QString WebProfile::panelName() const {
    return hasSite() ? QStringLiteral("Web sayfası") : QStringLiteral("Program sayfası");
}

QString WebProfile::makerNotice() const {
    if (hasSite()) return QStringLiteral("Tresvoli Yazılım Hizmetleri");
    return QStringLiteral("Meslek Arama %1").arg(QLatin1String(bundledlist::ProgramVersion));
}

QString WebProfile::siteNotice() const {
    if (hasSite()) return site_.notice;
    return QStringLiteral("Programla gelen ulusal meslek listesi: %1 meslek")
        .arg(QLatin1String(bundledlist::RowCountText));
}
