// An http address taken apart into host, port and path, and the GET request for it.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

struct HttpUrl
{
    QString host;
    quint16 port = 80;
    QString path = QStringLiteral("/");
    // The address as sent to a proxy: always with its "http://".
    QString absolute;

    // Raises NetError for an empty, https or malformed address.
    static HttpUrl parse(const QString& url);
    // Where a Location header points, taken relative to this address.
    QString resolve(const QString& location) const;
    QByteArray request(bool throughProxy) const;
};
