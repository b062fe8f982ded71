// Where and how to reach a SOCKS 5 proxy; an empty server means a direct connection.
#pragma once

#include <QtCore/QString>

struct SocksSettings
{
    QString server;
    QString port;
    QString userCode;
    QString password;

    bool enabled() const { return !server.trimmed().isEmpty(); }
};
