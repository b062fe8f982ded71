#pragma once

#include "app/ProgramSession.h"

// The program's own start-up, except that the banner stays quiet: its page lives on the service's
// real host, and tests talk only to servers they start themselves.
inline StartupHooks bannerless(StartupHooks hooks = {})
{
    hooks.loadBanner = [] {};
    return hooks;
}
