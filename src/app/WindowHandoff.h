#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// One window per folder (per list) in a session: a window started with search
// terms while another window of its folder runs hands them to that window
// over the session bus instead of opening a second one.
namespace WindowHandoff {

// The bus name the window of `folder` holds: one name for every way of
// writing the folder ("dir", "dir/.", a link to it), since it is made from the
// folder as the file system names it canonically. Defined here, so that a
// program that looks for a window computes it without the window's code.
inline QString busNameFor(const QString& folder) {
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty()) canonical = QDir::cleanPath(QDir(folder).absolutePath());
    const QByteArray digest =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256);
    // A bus name's element may not start with a digit.
    return QStringLiteral("io.github.meslekana.MeslekArama.Pencere.f") +
           QString::fromLatin1(digest.left(8).toHex());
}

// Hands the terms to the running window of `folder` and returns true when it
// took them; false when no such window runs or there is no session bus.
bool handToRunning(const QString& folder, const QStringList& terms);

// What a running window takes of a hand-over: the first MaxTerms terms, each
// cut to MaxTermLength characters; the rest is ignored, so that a call of any
// size is answered at once.
inline constexpr qsizetype MaxTerms = 8;
inline constexpr qsizetype MaxTermLength = 256;

inline constexpr char ObjectPath[] = "/io/github/meslekana/MeslekArama/Pencere";
inline constexpr char Interface[] = "io.github.meslekana.MeslekArama.Pencere";

}  // namespace WindowHandoff

// The running window's end of the hand-over: holds the folder's bus name and
// passes the terms it is handed (as many as it takes, see MaxTerms) to
// `take`, after the call has been answered (a long search does not keep the
// caller waiting).
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
