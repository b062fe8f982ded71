#pragma once
// Every address the program opens or fetches, in one place. Pages of the web service are built
// from its web host, which the settings may change at any time; the other sites are fixed, under
// the reserved ".example" domain, so nothing reaches a stranger's server by default.
#include <QtCore/QString>

struct MemberAccount;
struct ServiceHosts;

class ServiceAddresses
{
  public:
    explicit ServiceAddresses(const ServiceHosts& hosts) : hosts_(hosts) {}

    QString topPage() const;
    QString bannerPage() const;
    QString signUpPage() const;
    // The member login when the account is complete, the top page otherwise. The user ID is
    // required but never sent.
    QString memberPage(const MemberAccount& account) const;
    // The page that registers an upload for the member's phone.
    QString registrationPage(const MemberAccount& account, const QString& localAddress, int sendNumber) const;

    static QString sponsorPage();
    static QString userSupportPage();
    static QString supportFaqPage();
    static QString homePage();
    static QString donationPage();

    // A query value percent-encoded (RFC 3986, UTF-8): "&", "#", "+", "=" and blanks cannot
    // end the value early or change its meaning.
    static QString queryValue(const QString& value);

  private:
    QString onWebHost(const QString& pathAndQuery) const;

    const ServiceHosts& hosts_;
};
