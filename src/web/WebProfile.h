#pragma once

#include <QPixmap>
#include <QString>
#include <QUrl>

#include "web/MakerSite.h"

// What the main window's web side shows and opens, and what the status bars
// say beside it.
//
// With a maker's site: the panel and the label show the site's start page
// (http://<host>/personel.htm), the banner hands over the download of the
// maker's payroll program (http://<host>/download/Dermansa.exe), and every close
// request opens the closing page
// (http://<domain>/Online_Bordro_Ucret_Maas_Hesaplama.htm): scheme, host and
// path, nothing else.
//
// Without a site: the panel shows the program's own page (web/OwnStartPage.h),
// the banner and the label hand that page's file:// address to the browser,
// and a close opens nothing. Should the page's file be missing (a damaged
// installation), the panel shows the copy built into the program and the links
// hand nothing over, since a browser cannot read the program's resources.
class WebProfile {
public:
    static WebProfile forSite(const MakerSite& site);
    // `pageFile`: the own page's path, empty when it is missing.
    static WebProfile withoutSite(const QString& pageFile);
    // The site the program was built for, or else the own page found beside
    // the running program.
    static WebProfile builtIn();

    bool hasSite() const { return site_.exists(); }

    QUrl panelPage() const;
    QUrl labelAddress() const;
    QUrl bannerAddress() const;
    // Empty without a site: a close opens nothing.
    QUrl closingPage() const;

    // The banner's picture (334 by 159; the window shows its top 121 rows) and
    // the name a screen reader gives the banner.
    QPixmap bannerPicture() const;
    QString bannerName() const;
    // The name a screen reader gives the panel.
    QString panelName() const;

    // The status bars' notices: the maker's (without a site, the program and
    // its version) and the site's (without a site, the bundled list).
    QString makerNotice() const;
    QString siteNotice() const;

private:
    QUrl ownPageAddress() const;

    MakerSite site_;
    QString pageFile_;
};
