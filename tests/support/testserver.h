#pragma once

#include <QSqlDatabase>
#include <QString>

// The tests' PostgreSQL server, which CTest starts for every test declared with SERVER: the URI
// of its administrative database, postgresql:///postgres?host=<socket folder>&user=catalog.
// Without CATALOG_TEST_SERVER the test fails, saying why, and the test program ends.
QString testServerUri();

// Connection `connection` to the database a libpq URI names, through Qt's PostgreSQL driver.
// A URI that does not parse or a server that refuses fails the test and ends the program.
QSqlDatabase openServerConnection(const QString& uri, const QString& connection);

// A fresh, empty database on the test server, named catalog_test_<pid>_<counter>, created
// through an administrative connection of its own and dropped when the object goes, even while
// other connections to it are open.
class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const QString& name() const { return m_name; }
    // postgresql:///<name>?host=<socket folder>&user=catalog
    QString uri() const;

private:
    QString m_name;
    QString m_serverUri;
    QString m_adminConnection;
};
