#include "templaylist.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

QString playListStamp(const QDateTime& now, const QLocale& locale) {
    constexpr double SecondsPerDay = 86400;
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    const int seconds = now.time().msecsSinceStartOfDay() / 1000;
    const double stamp = static_cast<double>(days) + seconds / SecondsPerDay;
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(stamp, 'g', 15);
}

QString writeTempPlayList(const QString& folder, const QString& stamp, const QStringList& paths,
                          QString* error) {
    const QDir dir(folder);
    if (!dir.exists()) {
        if (!QDir().mkpath(folder)) {
            *error = QObject::tr("Cannot make the folder %1.").arg(folder);
            return {};
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString path = dir.filePath(QStringLiteral("Temp") + stamp + QStringLiteral(".m3u"));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QByteArray text;
        for (const QString& line : paths)
            text += line.toUtf8() + "\r\n";
        file.write(text);
        if (file.commit())
            return path;
    }
    *error = QObject::tr("Cannot write %1: %2").arg(path, file.errorString());
    return {};
}
