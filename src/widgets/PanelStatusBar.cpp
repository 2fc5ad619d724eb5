#include "widgets/PanelStatusBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>

PanelStatusBar::PanelStatusBar(QWidget* parent)
    : QStatusBar(parent), row_(new QWidget(this)), panels_(new QHBoxLayout(row_)) {
    panels_->setContentsMargins(0, 0, 0, 0);
    panels_->setSpacing(0);
    panels_->addStretch(1);
    row_->lower();
}

void PanelStatusBar::addPanel(int width, const QString& text) {
    auto* label = new QLabel(text, row_);
    label->setTextFormat(Qt::PlainText);
    label->setFixedWidth(width);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_->insertWidget(panels_->count() - 1, label);
}

void PanelStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    row_->setGeometry(rect());
}
