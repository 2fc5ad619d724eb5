#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// One window per folder (per list) in a session: a window started with search
// terms while another window of its folder runs hands them to that window
// over the session bus instead of opening a second one.
namespace WindowHandoff {

// The bus name the window of `folder` holds (the folder as the file system
// names it canonically).
QString busNameFor(const QString& folder);

// Hands the terms to the running window of `folder` and returns true when it
// took them; false when no such window runs or there is no session bus.
bool handToRunning(const QString& folder, const QStringList& terms);

inline constexpr char ObjectPath[] = "/io/github/meslekana/MeslekArama/Pencere";
inline constexpr char Interface[] = "io.github.meslekana.MeslekArama.Pencere";

}  // namespace WindowHandoff

// The running window's end of the hand-over: holds the folder's bus name and
// passes the terms it is handed to `take`, after the call has been answered
// (a long search does not keep the caller waiting).
class WindowHandoffService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.meslekana.MeslekArama.Pencere")
public:
    using Take = std::function<void(const QStringList& terms)>;

    explicit WindowHandoffService(Take take, QObject* parent = nullptr);
    ~WindowHandoffService() override;

    // Takes the folder's name on the session bus; false when there is no bus
    // or another window holds it already (this one then just runs alone).
    bool serve(const QString& folder);

public slots:
    Q_SCRIPTABLE void Ara(const QStringList& terms);

private:
    Take take_;
    QString busName_;
};
