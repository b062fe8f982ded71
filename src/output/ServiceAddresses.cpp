#include "output/ServiceAddresses.h"

#include "foundation/ProgramOptions.h"

#include <QtCore/QUrl>

QString ServiceAddresses::queryValue(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

QString ServiceAddresses::onWebHost(const QString& pathAndQuery) const
{
    QString host = hosts_.webHost.trimmed();
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host + pathAndQuery;
}

QString ServiceAddresses::topPage() const
{
    return onWebHost(QStringLiteral("/"));
}

QString ServiceAddresses::bannerPage() const
{
    return onWebHost(QStringLiteral("/pc/?jex=True"));
}

QString ServiceAddresses::signUpPage() const
{
    return onWebHost(QStringLiteral("/pc/index.php?page=add_user"));
}

QString ServiceAddresses::memberPage(const MemberAccount& account) const
{
    if (!account.complete())
        return topPage();
    return onWebHost(QStringLiteral("/pc/login.php?pas=%1&mem=%2")
                         .arg(queryValue(account.password), queryValue(account.mailAddress)));
}

QString ServiceAddresses::registrationPage(const MemberAccount& account, const QString& localAddress,
                                           int sendNumber) const
{
    return onWebHost(QStringLiteral("/pc/stb_img_up.php?pas=%1&mem=%2&ip=%3&rd=%4")
                         .arg(queryValue(account.password), queryValue(account.mailAddress), queryValue(localAddress),
                              QString::number(sendNumber)));
}

QString ServiceAddresses::sponsorPage()
{
    return QStringLiteral("http://www.velta.example/");
}

QString ServiceAddresses::userSupportPage()
{
    return QStringLiteral("http://support.pictorel.example/");
}

QString ServiceAddresses::supportFaqPage()
{
    return QStringLiteral("http://www.velta.example/support/faq.html");
}

QString ServiceAddresses::homePage()
{
    return QStringLiteral("http://www.pictorel.example/");
}

QString ServiceAddresses::donationPage()
{
    return QStringLiteral("http://donate.pictorel.example/");
}
