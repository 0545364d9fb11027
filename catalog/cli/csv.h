#pragma once

#include <QString>
#include <QStringList>

// One record of RFC 4180 CSV, ended by CR LF: a field holding a comma, a double quote or a
// line break is put between double quotes, with its double quotes doubled.
QString csvRecord(const QStringList& fields);
