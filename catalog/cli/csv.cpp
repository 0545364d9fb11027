#include "csv.h"

namespace {

QString csvField(const QString& field) {
    static const QString special = QStringLiteral(",\"\r\n");
    for (const QChar c : field) {
        if (special.contains(c)) {
            QString quoted = field;
            quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
            return QLatin1Char('"') + quoted + QLatin1Char('"');
        }
    }
    return field;
}

} // namespace

QString csvRecord(const QStringList& fields) {
    QStringList out;
    out.reserve(fields.size());
    for (const QString& field : fields)
        out << csvField(field);
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}
