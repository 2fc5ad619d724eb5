#include "web/MakerSite.h"

#ifndef MESLEK_SITE_HOST
#define MESLEK_SITE_HOST ""
#endif
#ifndef MESLEK_SITE_DOMAIN
#define MESLEK_SITE_DOMAIN ""
#endif
#ifndef MESLEK_SITE_NOTICE
#define MESLEK_SITE_NOTICE ""
#endif

MakerSite builtInSite() {
    return {QString::fromUtf8(MESLEK_SITE_HOST), QString::fromUtf8(MESLEK_SITE_DOMAIN),
            QString::fromUtf8(MESLEK_SITE_NOTICE)};
}
