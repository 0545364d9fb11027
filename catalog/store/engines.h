#pragma once

class CatalogEngine;

// The two engines, for catalogengine.cpp to choose from.
const CatalogEngine& fileEngine();
const CatalogEngine& serverEngine();

class QString;
// A server's SQLSTATE as one of the result codes catalogdb::failureOf tells apart.
int serverResultCode(const QString& sqlState);
