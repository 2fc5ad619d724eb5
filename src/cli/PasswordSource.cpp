#include "cli/PasswordSource.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "base/SystemErrors.h"
#include "text/ShownValue.h"

extern char** environ;

QByteArrayList environmentWithoutPassword() {
    const QByteArray prefix = QByteArray(PasswordVariable) + '=';
    QByteArrayList environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!QByteArray::fromRawData(*entry, qstrlen(*entry)).startsWith(prefix))
            environment.append(QByteArray(*entry));
    }
    return environment;
}

const char* const PasswordOptionsHelp =
    "  --password PAROLA   veritabanı parolası (ps ve kabuk geçmişi bunu gösterir; aşağıdaki\n"
    "                      ikisi daha güvenlidir)\n"
    "  --password-file DOSYA\n"
    "                      parola bu dosyanın ilk satırıdır (satır sonu olmadan, UTF-8)\n"
    "  MESLEKANA_PASSWORD  seçenekle parola verilmediğinde bu ortam değişkeni (boş değilse)\n"
    "                      parola olarak kullanılır\n";

namespace {

// How long a password file may take to give its first line: a named pipe
// with no writer yet must not hold the program for ever.
constexpr int PasswordWaitMs = 10000;

// The first line of `fd`, opened without blocking; `error` set when it is too
// long, not UTF-8 or does not come in time. Each read waits in poll(): a pipe
// with no writer yet reads as its end at once, which is not an empty line.
QString readFirstLine(int fd, QString& error, int& failure) {
    QByteArray bytes;
    char chunk[512];
    qsizetype lineEnd = -1;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(PasswordWaitMs);
    while (lineEnd < 0 && bytes.size() <= MaxPasswordFileLine) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd input{fd, POLLIN, 0};
        const int ready = left.count() > 0 ? ::poll(&input, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) {
            failure = errno;
            return {};
        }
        if (ready == 0) {
            error = QStringLiteral("parola dosyasından %1 saniye içinde bir satır gelmedi")
                        .arg(PasswordWaitMs / 1000);
            return {};
        }
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            failure = errno;
            return {};
        }
        if (got == 0) break;
        const qsizetype before = bytes.size();
        bytes.append(chunk, got);
        lineEnd = bytes.indexOf('\n', before);
    }
    if (lineEnd >= 0) {
        bytes.truncate(lineEnd);
        if (bytes.endsWith('\r')) bytes.chop(1);
    }
    if (bytes.size() > MaxPasswordFileLine) {
        error = QStringLiteral("ilk satırı %1 bayttan uzun").arg(MaxPasswordFileLine);
        return {};
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        error = QStringLiteral("geçerli bir UTF-8 metni değil");
        return {};
    }
    // An empty line is an empty password, not none.
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QString readPasswordFile(const QString& file, QString& error) {
    QString cause;
    int failure = 0;
    QString password;
    const int fd =
        ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        failure = errno;
    } else {
        password = readFirstLine(fd, cause, failure);
        ::close(fd);
    }
    if (failure != 0) cause = describeSystemError(failure);
    if (!cause.isEmpty()) {
        error =
            QStringLiteral("parola dosyası okunamadı: %1: %2").arg(shownvalue::shown(file), cause);
        return {};
    }
    return password;
}

}  // namespace

bool takePasswordOption(const QStringList& arguments, qsizetype& i, PasswordOptions& options,
                        QString& error) {
    const QString& arg = arguments.at(i);
    const bool text = arg == QLatin1String("--password");
    if (!text && arg != QLatin1String("--password-file")) return false;
    if (i + 1 >= arguments.size()) {
        error = QStringLiteral("%1 bir değer ister").arg(arg);
        return true;
    }
    const QString& value = arguments.at(++i);
    if (options.text || options.file) {
        error = QStringLiteral(
            "parola yalnızca bir kez verilebilir: ya --password ya da "
            "--password-file");
    } else if (text) {
        options.text = value;
    } else if (value.isEmpty()) {
        error = QStringLiteral("--password-file boş olamaz");
    } else {
        options.file = value;
    }
    return true;
}

std::optional<QString> resolvePassword(const PasswordOptions& options, const QString& environment,
                                       QString& error) {
    if (options.text) return options.text;
    if (options.file) {
        QString password = readPasswordFile(*options.file, error);
        if (!error.isEmpty()) return std::nullopt;
        return password;
    }
    if (!environment.isEmpty()) return environment;
    return std::nullopt;
}
