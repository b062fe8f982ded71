// Maps the Windows Japanese face names kept in settings to the IPA faces installed here.
#pragma once

class FontSubstitutes
{
  public:
    // Registers the substitutions with QFont; call at start-up, before any font is made. Repeated calls do nothing.
    static void install();
};
