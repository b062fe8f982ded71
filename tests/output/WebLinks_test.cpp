// The web links: which address each control opens, built from the settings at the moment of the click.
#include "foundation/ProgramOptions.h"
#include "output/ServiceAddresses.h"
#include "output/WebLinks.h"
#include "support/ScriptedPrompts.h"

#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>
#include <gtest/gtest.h>

TEST(WebLinksTest, EachControlOpensItsPage)
{
    ProgramOptions options;
    options.services.webHost = QStringLiteral("http://127.0.0.1:8080/");
    ScriptedPrompts prompts;
    WebLinks links(options, prompts);
    struct Case
    {
        void (WebLinks::*click)();
        QString address;
    };
    const Case cases[] = {
        {&WebLinks::btKestrixClick, QStringLiteral("http://127.0.0.1:8080/")}, // no account yet: the top page
        {&WebLinks::ImageKestrixClick, QStringLiteral("http://127.0.0.1:8080/")},
        {&WebLinks::btJEXregistClick, QStringLiteral("http://127.0.0.1:8080/pc/index.php?page=add_user")},
        {&WebLinks::VeltaClick, ServiceAddresses::sponsorPage()},
        {&WebLinks::btHelpClick, ServiceAddresses::userSupportPage()},
        {&WebLinks::ImageLogoClick, ServiceAddresses::homePage()},
        {&WebLinks::ImagePayClick, ServiceAddresses::donationPage()},
    };
    for (const Case& c : cases) {
        prompts.openedUrls.clear();
        (links.*c.click)();
        EXPECT_EQ(prompts.openedUrls, QStringList{c.address});
    }
    // Our own choices stay on the reserved domain.
    for (const QString& page :
         {ServiceAddresses::sponsorPage(), ServiceAddresses::userSupportPage(), ServiceAddresses::supportFaqPage(),
          ServiceAddresses::homePage(), ServiceAddresses::donationPage()})
        EXPECT_TRUE(QUrl(page).host().endsWith(QLatin1String(".example"))) << page.toStdString();
}

TEST(WebLinksTest, TheMemberLinkLogsInOnlyWithTheWholeAccountAndNeverSendsTheUserId)
{
    ProgramOptions options;
    ScriptedPrompts prompts;
    WebLinks links(options, prompts);
    struct Case
    {
        MemberAccount account;
        QString address;
    };
    const Case cases[] = {
        {{QStringLiteral("a+b@phone.example"), QStringLiteral("uid42"), QStringLiteral("p&mem=x#y z")},
         QStringLiteral(
             "http://www.kestrixnet.example/pc/login.php?pas=p%26mem%3Dx%23y%20z&mem=a%2Bb%40phone.example")},
        {{QStringLiteral("a@phone.example"), QString(), QStringLiteral("pw")},
         QStringLiteral("http://www.kestrixnet.example/")},
        {{QString(), QStringLiteral("uid42"), QStringLiteral("pw")}, QStringLiteral("http://www.kestrixnet.example/")},
        {{QStringLiteral("a@phone.example"), QStringLiteral("uid42"), QString()},
         QStringLiteral("http://www.kestrixnet.example/")},
    };
    for (const Case& c : cases) {
        prompts.openedUrls.clear();
        options.account = c.account; // as typed in the options dialog, before "OK"
        links.btKestrixClick();
        ASSERT_EQ(prompts.openedUrls, QStringList{c.address});
        EXPECT_FALSE(prompts.openedUrls[0].contains(QLatin1String("uid42")));
    }
    // Decoded again, each value comes back whole, with the keys in their order.
    const QUrlQuery query(QUrl(cases[0].address).query());
    EXPECT_EQ(query.queryItems(QUrl::FullyDecoded),
              (QList<std::pair<QString, QString>>{{QStringLiteral("pas"), QStringLiteral("p&mem=x#y z")},
                                                  {QStringLiteral("mem"), QStringLiteral("a+b@phone.example")}}));
}
