#include "web/PageViewPanel.h"

#include <QTextBrowser>
#include <QVBoxLayout>

PageViewPanel::PageViewPanel(QWidget* parent) : WebPanel(parent) {
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    view_ = new QTextBrowser(this);
    view_->setObjectName(QStringLiteral("WebBrowser2Page"));
    view_->setFrameShape(QFrame::NoFrame);
    view_->setOpenLinks(false);
    view_->setOpenExternalLinks(false);
    // Read with the keys as well: select all and copy, as in the help window.
    view_->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Until the page arrives the panel is white, as any web panel.
    QPalette white = view_->palette();
    white.setColor(QPalette::Base, Qt::white);
    view_->setPalette(white);
    rows->addWidget(view_);
    // A screen reader names the page by its title.
    connect(view_, &QTextBrowser::sourceChanged, this,
            [this] { view_->setAccessibleName(view_->documentTitle()); });
}

void PageViewPanel::navigate(const QUrl& address) {
    view_->setSource(address, QTextDocument::HtmlResource);
}

WebPanelFactory pageViewPanelFactory() {
    return [](QWidget* parent) -> WebPanel* { return new PageViewPanel(parent); };
}
