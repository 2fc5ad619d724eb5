#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class AccessibleNotice;
class OccupationRecordSet;

// What the main window tells assistive technology of its commands: how many
// rows a search left, and what a copy put on the clipboard. Nothing on the
// screen changes. Nothing is done while no assistive technology listens.
class WindowAnnouncements {
public:
    // `noticeArea` is the search area, whose notice speaks; `grid` the result grid.
    WindowAnnouncements(QWidget* noticeArea, QWidget* grid, const OccupationRecordSet& records);
    ~WindowAnnouncements();
    WindowAnnouncements(const WindowAnnouncements&) = delete;
    WindowAnnouncements& operator=(const WindowAnnouncements&) = delete;

    // The count of shown rows after a search started from `from` (the
    // focused control, or null). While the user types, an unchanged count is
    // not said again.
    void shownRows(QWidget* from, bool whileTyping);
    void copied(const QString& text);

private:
    void announce(const QString& text, bool repeat);

    QPointer<QWidget> noticeArea_;
    QWidget* grid_;
    const OccupationRecordSet& records_;
    // The control whose description carries the last count.
    QPointer<QWidget> announcedOn_;
    // The counts and copies, spoken, in the search area; made when first needed.
    std::unique_ptr<AccessibleNotice> notice_;
};
