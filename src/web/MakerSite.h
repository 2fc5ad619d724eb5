#pragma once

#include <QString>

// The maker's web site, when the program is built for one: its host name with
// "www." (start page, label, banner), its bare domain name (the closing page)
// and the status bars' notice of the site. The program reads no settings: the
// site is fixed when it is built (CMake's MESLEK_SITE_HOST, MESLEK_SITE_DOMAIN
// and MESLEK_SITE_NOTICE, checked there). Built without them, the default,
// the program has no site and nothing of it points at one.
struct MakerSite {
    QString host;
    QString domain;
    QString notice;

    bool exists() const { return !host.isEmpty(); }
};

// The site this program was built for; no site (every field empty) by default.
MakerSite builtInSite();
