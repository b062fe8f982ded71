#pragma once
#include <QtCore/QString>

// One catalogue line; also the target model.
struct TModelEntry
{
    QString Carrier;
    QString Name;    // column 1, plus "(" column 2 ")" unless column 2 is "メイン"
    QString Variant; // column 2
    QString Extra;   // column 3, kept and never used
    int Width = 0;
    int Height = 0;
    int ColorBits = 0;
    int SizeLimit = 0;

    bool operator==(const TModelEntry&) const = default;
};

// Applied when a name matches no catalogue entry.
inline TModelEntry defaultModel()
{
    TModelEntry entry;
    entry.Width = 480;
    entry.Height = 480;
    entry.ColorBits = 24;
    entry.SizeLimit = 10240;
    return entry;
}
