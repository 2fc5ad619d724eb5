#include "app/WindowAnnouncements.h"

#include "data/OccupationRecordSet.h"
#include "widgets/Accessibility.h"

WindowAnnouncements::WindowAnnouncements(QWidget* noticeArea, QWidget* grid,
                                         const OccupationRecordSet& records)
    : noticeArea_(noticeArea), grid_(grid), records_(records) {}

WindowAnnouncements::~WindowAnnouncements() = default;

// The count is shown as a notice of the search area, which screen readers
// speak at once, and goes to the grid's description and to the description
// of the control the search came from, where it is read with the control. The
// control that carried the last count gives it up, so that no old count
// lingers.
void WindowAnnouncements::shownRows(QWidget* from, bool whileTyping) {
    if (!accessibilityListening()) return;
    const QString text = QStringLiteral("%1 meslek gösteriliyor").arg(records_.shownCount());
    announce(text, !whileTyping);
    grid_->setAccessibleDescription(text);
    if (announcedOn_ && announcedOn_ != from && announcedOn_ != grid_) {
        announcedOn_->setAccessibleDescription(QString());
    }
    announcedOn_ = nullptr;
    if (from == nullptr || from == grid_) return;
    from->setAccessibleDescription(text);
    announcedOn_ = from;
}

void WindowAnnouncements::copied(const QString& text) {
    if (!accessibilityListening()) return;
    announce(QStringLiteral("Kopyalandı: ") + text, true);
}

void WindowAnnouncements::announce(const QString& text, bool repeat) {
    if (!notice_) notice_ = std::make_unique<AccessibleNotice>(noticeArea_);
    notice_->announce(text, repeat);
}
