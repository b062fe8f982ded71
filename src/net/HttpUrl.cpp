#include "net/HttpUrl.h"

#include <QtCore/QUrl>

#include "net/NetError.h"

namespace {
// Spaces and control characters would break the request line or add lines of their own.
bool hasUnsafeCharacter(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20 || c.unicode() == 0x7f; });
}

quint16 parsePort(const QString& text)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port == 0 || port > 0xffff)
        throw NetError(QStringLiteral("Invalid port in URL: ") + text);
    return static_cast<quint16>(port);
}
} // namespace

HttpUrl HttpUrl::parse(const QString& url)
{
    const QString text = url.trimmed();
    if (text.isEmpty())
        throw NetError(QStringLiteral("Empty URL"));
    if (text.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
        throw NetError(QStringLiteral("HTTP Secure Socket is not supported"));
    if (hasUnsafeCharacter(text))
        throw NetError(QStringLiteral("Invalid URL: ") + text.simplified());
    const qsizetype slashes = text.indexOf(QLatin1String("//"));
    const QString rest = slashes >= 0 ? text.mid(slashes + 2) : text;
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const QString authority = slash >= 0 ? rest.left(slash) : rest;
    HttpUrl result;
    if (slash >= 0)
        result.path = rest.mid(slash);
    const qsizetype colon = authority.indexOf(QLatin1Char(':'));
    result.host = colon >= 0 ? authority.left(colon) : authority;
    if (colon >= 0)
        result.port = parsePort(authority.mid(colon + 1));
    if (result.host.isEmpty())
        throw NetError(QStringLiteral("Null Remote Address"));
    result.absolute = slashes >= 0 ? text : QStringLiteral("http://") + authority + result.path;
    return result;
}

QString HttpUrl::resolve(const QString& location) const
{
    return QUrl(absolute).resolved(QUrl(location.trimmed())).toString(QUrl::FullyEncoded);
}

QByteArray HttpUrl::request(bool throughProxy) const
{
    QByteArray text = "GET " + (throughProxy ? absolute : path).toUtf8() + " HTTP/1.0\r\n";
    if (throughProxy)
        text += "Proxy-Connection: Keep-Alive\r\n";
    text += "Host: " + host.toUtf8() + "\r\n";
    text += "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n";
    text += "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
    text += "Content-type: application/x-www-form-urlencoded\r\n";
    text += "\r\n";
    return text;
}
