#pragma once

#include <QUrl>

// Hands an address to the user's default browser. The outcome is the
// browser's affair: nothing is reported either way. Tests replace it.
class Browser {
public:
    virtual ~Browser() = default;
    virtual void open(const QUrl& address) = 0;
};

// The desktop's default browser (QDesktopServices::openUrl, which asks xdg-open).
class DesktopBrowser : public Browser {
public:
    void open(const QUrl& address) override;
};
