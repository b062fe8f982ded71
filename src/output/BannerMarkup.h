#pragma once
// The part of a banner page that is laid out. The rich-text layout runs on the window's thread and
// its cost grows steeply with table nesting and cell count (twenty nested tables hold the window
// for seconds, twenty-five for minutes) and with long runs of text; a banner of 471 x 63 pixels
// needs a few pictures, links and words. Beyond the bounds below the rest of the page is dropped,
// and tables nested deeper than MaxTableDepth lose their table tags but keep their content.
#include <QtCore/QString>

class BannerMarkup
{
  public:
    static constexpr int MaxTableDepth = 3;
    static constexpr int MaxTableCells = 64;
    static constexpr int MaxElements = 300;
    static constexpr int MaxTextCharacters = 2000;
    static constexpr qsizetype MaxMarkupCharacters = 64 * 1024;

    // The page as it is shown: comments and scripts removed, the rest within the bounds.
    static QString bounded(const QString& html);
};
