#pragma once

#include "sharedtext.h"

#include <QByteArray>
#include <QString>

class TextArena;
class TextPool;

// The rows of one statement, read cell by cell without a QVariant per cell, which is where
// reading hundreds of thousands of rows spends its time.
class RowReader {
public:
    virtual ~RowReader() = default;
    // Moves to the next row; false after the last. A row that cannot be read (a damaged page,
    // a lost connection) throws CatalogError, so rows never end early unnoticed.
    virtual bool next() = 0;
    virtual qint32 integer(int column) const = 0;
    virtual qint64 integer64(int column) const = 0;
    // A NULL cell is a null string.
    virtual QString text(int column) const = 0;
    virtual QByteArray blob(int column) const = 0;
    // The cell's text stored in `arena`.
    virtual QString text(int column, TextArena& arena) const = 0;
    // The cell's text shared through `pool`.
    virtual SharedText text(int column, TextPool& pool) const = 0;
};
