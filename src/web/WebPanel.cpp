#include "web/WebPanel.h"

#include <QPalette>

WebPanel::WebPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WebBrowser2"));
}

BlankWebPanel::BlankWebPanel(QWidget* parent) : WebPanel(parent) {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

WebPanelFactory blankWebPanelFactory() {
    return [](QWidget* parent) -> WebPanel* { return new BlankWebPanel(parent); };
}
