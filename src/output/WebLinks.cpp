#include "output/WebLinks.h"

#include "foundation/ProgramOptions.h"
#include "foundation/Prompts.h"
#include "output/ServiceAddresses.h"

void WebLinks::btKestrixClick()
{
    prompts_.openUrl(ServiceAddresses(options_.services).memberPage(options_.account));
}

void WebLinks::ImageKestrixClick()
{
    btKestrixClick();
}

void WebLinks::btJEXregistClick()
{
    prompts_.openUrl(ServiceAddresses(options_.services).signUpPage());
}

void WebLinks::VeltaClick()
{
    prompts_.openUrl(ServiceAddresses::sponsorPage());
}

void WebLinks::btHelpClick()
{
    prompts_.openUrl(ServiceAddresses::userSupportPage());
}

void WebLinks::ImageLogoClick()
{
    prompts_.openUrl(ServiceAddresses::homePage());
}

void WebLinks::ImagePayClick()
{
    prompts_.openUrl(ServiceAddresses::donationPage());
}
