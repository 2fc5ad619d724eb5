#include "web/WebSite.h"

#ifndef MESLEK_SITE_HOST
#define MESLEK_SITE_HOST "www.tresvoli.example"
#endif
#ifndef MESLEK_SITE_DOMAIN
#define MESLEK_SITE_DOMAIN "tresvoli.example"
#endif
#ifndef MESLEK_SITE_NOTICE
#define MESLEK_SITE_NOTICE "www.tresvoli.example  -  bilgi@tresvoli.example"
#endif

namespace WebSite {

namespace {

// Scheme, host and path joined, nothing else.
QUrl address(const char* host, const char* path) {
    return QUrl(QStringLiteral("http://") + QString::fromUtf8(host) + QString::fromUtf8(path));
}

}  // namespace

QUrl startPage() { return address(MESLEK_SITE_HOST, "/personel.htm"); }

QUrl downloadAddress() { return address(MESLEK_SITE_HOST, "/download/Dermansa.exe"); }

QUrl closingPage() {
    return address(MESLEK_SITE_DOMAIN, "/Online_Bordro_Ucret_Maas_Hesaplama.htm");
}

QString notice() { return QString::fromUtf8(MESLEK_SITE_NOTICE); }

}  // namespace WebSite
