// Maps the Windows Japanese face names kept in settings to the IPA faces installed here.
#pragma once

class FontSubstitutes
{
  public:
    // Registers the substitutions with QFont; call once at start-up, before any font is made.
    static void install();
};
