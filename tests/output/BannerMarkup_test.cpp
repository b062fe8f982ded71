// What of a banner page is laid out: ordinary pages whole, hostile ones within the bounds.
#include "output/BannerMarkup.h"

#include <QtCore/QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString nestedTables(int depth, const QString& inside = QStringLiteral("x"))
{
    return QStringLiteral("<table><tr><td>").repeated(depth) + inside +
           QStringLiteral("</td></tr></table>").repeated(depth);
}

int deepestTable(const QString& html)
{
    static const QRegularExpression tag(QStringLiteral("<(/?)table\\b"), QRegularExpression::CaseInsensitiveOption);
    int depth = 0, deepest = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        depth += it.next().captured(1).isEmpty() ? 1 : -1;
        deepest = std::max(deepest, depth);
    }
    return deepest;
}

} // namespace

TEST(BannerMarkupTest, OrdinaryPagesAreLaidOutAsServed)
{
    const QString pages[] = {
        QStringLiteral("<html><head><style>td { color: red }</style></head><body><a href=\"/pc/join.php\">"
                       "<img src=\"ad.png\" width=\"40\" height=\"40\"></a>会員募集 &amp; more</body></html>"),
        nestedTables(BannerMarkup::MaxTableDepth, QStringLiteral("<a href='x?a=1&b=2'>a &gt; b</a>")),
        QStringLiteral("<p title=\"a > b\">quoted '>' stays in its tag</p>"),
    };
    for (const QString& html : pages)
        EXPECT_EQ(BannerMarkup::bounded(html), html);
}

TEST(BannerMarkupTest, HostilePagesAreCutToTheBounds)
{
    // 25 nested tables held the window for minutes: deeper ones keep their content, not their tables.
    const QString deep = BannerMarkup::bounded(nestedTables(25));
    EXPECT_EQ(deepestTable(deep), BannerMarkup::MaxTableDepth);
    EXPECT_TRUE(deep.contains(QLatin1Char('x')));

    QString grid = QStringLiteral("<table><tr>");
    for (int i = 0; i < 1000; ++i)
        grid += QStringLiteral("<td>%1</td>").arg(i);
    EXPECT_EQ(BannerMarkup::bounded(grid).count(QStringLiteral("<td>")), BannerMarkup::MaxTableCells);

    const QString word(1000000, QLatin1Char('a')); // one unbreakable word of a megabyte
    EXPECT_EQ(BannerMarkup::bounded(word).size(), BannerMarkup::MaxTextCharacters);
    // Blanks that lay out as one count as one.
    const QString indented = QStringLiteral("a") + QString(5000, QLatin1Char(' ')) + QStringLiteral("b");
    EXPECT_EQ(BannerMarkup::bounded(indented), indented);

    const QString spans = QStringLiteral("<span>").repeated(100000);
    EXPECT_EQ(BannerMarkup::bounded(spans).count(QStringLiteral("<span>")), BannerMarkup::MaxElements);

    EXPECT_EQ(BannerMarkup::bounded(QStringLiteral("<!-- <table> -->a<script>document.write('<table>')</script>b")),
              QStringLiteral("ab"));
    EXPECT_EQ(BannerMarkup::bounded(QStringLiteral("a<img src=\"never closed")), QStringLiteral("a"));
}
