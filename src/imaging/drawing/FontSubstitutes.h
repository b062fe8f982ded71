// Maps the Windows Japanese face names kept in settings to the IPA faces installed here.
#pragma once

#include <QtCore/QString>

class FontSubstitutes
{
  public:
    // Registers the substitutions with QFont; call at start-up, before any font is made. Repeated calls do nothing.
    static void install();
    // The face a grid of numbers is drawn in, for a face named in the settings. The MS proportional
    // faces keep their digits half an em wide, as their fixed-pitch siblings do; the IPA proportional
    // faces standing in for them widen the digits by a quarter, so numbers spaced for the MS face
    // would touch. Such a grid takes the fixed-pitch sibling, whose digits are the MS ones' width.
    static QString forNumberGrid(const QString& face);
};
