#pragma once
// Splits one catalogue line into fields: blanks and control characters before a field are
// skipped, a quoted field runs to its closing quote with "" standing for one quote, an unquoted
// field ends at a comma or at any character of code 32 or less, two commas give an empty field
// and a comma at the end of the line adds none.
#include <QtCore/QStringList>

QStringList splitCommaText(QStringView line);
