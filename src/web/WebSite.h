#pragma once

#include <QString>
#include <QUrl>

// The maker's web site. Its two host names (with and without "www.") and the
// status bar's notice are fixed when the program is built (the CMake cache
// variables MESLEK_SITE_HOST, MESLEK_SITE_DOMAIN and MESLEK_SITE_NOTICE); the
// program reads no settings. The defaults are reserved names that resolve
// nowhere, so that no build hands a user's browser an address nobody here
// controls; a maker's build sets the real ones.
namespace WebSite {

// http://<host>/personel.htm: the web panel's start page and the label's page.
QUrl startPage();
// http://<host>/download/Dermansa.exe: the banner's download.
QUrl downloadAddress();
// http://<domain>/Online_Bordro_Ucret_Maas_Hesaplama.htm: opened at every close request.
QUrl closingPage();
// The status bar's third panel.
QString notice();

}  // namespace WebSite
