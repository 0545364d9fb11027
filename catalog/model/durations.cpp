#include "durations.h"

#include <algorithm>
#include <cmath>

namespace {

// The digits of `text` from `from`, `count` characters long, or -1 when one is not a digit.
qint64 digits(const QString& text, qsizetype from, qsizetype count) {
    qint64 value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

double GetSeconds(const QString& duration) {
    // "hh:mm:ss"; longer texts carry more hour digits before the last six characters.
    const qsizetype length = duration.size();
    if (length < 8 || length > 15)
        return 0;
    const qint64 hours = digits(duration, 0, length - 6);
    const qint64 minutes = digits(duration, length - 5, 2);
    const qint64 seconds = digits(duration, length - 2, 2);
    if (hours < 0 || minutes < 0 || seconds < 0)
        return 0;
    return static_cast<double>(hours * 3600 + minutes * 60 + seconds);
}

QString SecondstoTime(double seconds) {
    // Play lists cannot come near the limit; it only keeps the conversion defined.
    constexpr double Limit = 1e15;
    const qint64 total =
        std::isfinite(seconds) && seconds > 0 ? static_cast<qint64>(std::min(seconds, Limit)) : 0;
    const qint64 hours = total / 3600;
    const qint64 minutes = total % 3600 / 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QChar(u'0'))
        .arg(minutes, 2, 10, QChar(u'0'))
        .arg(total % 60, 2, 10, QChar(u'0'));
}
