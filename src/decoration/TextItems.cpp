#include "decoration/TextItems.h"

namespace {

struct ShadowRow
{
    const char16_t* item;
    int dx;
    int dy;
};

constexpr ShadowRow ShadowRows[] = {
    {u"上", 0, -1}, {u"右上", 1, -1}, {u"右", 1, 0},  {u"右下", 1, 1},
    {u"下", 0, 1},  {u"左下", -1, 1}, {u"左", -1, 0}, {u"左上", -1, -1},
};

std::optional<int> indexOf(const QStringList& items, const QString& item)
{
    const qsizetype at = items.indexOf(item);
    return at < 0 ? std::nullopt : std::optional<int>(int(at));
}

} // namespace

namespace TextItems {

QStringList directions()
{
    return {QStringLiteral("左から右(→)"), QStringLiteral("右から左(←)"), QStringLiteral("上から下(↓)"),
            QStringLiteral("下から上(↑)")};
}

QStringList angles()
{
    return {QStringLiteral("0度"), QStringLiteral("90度"), QStringLiteral("180度"), QStringLiteral("270度")};
}

QStringList shadowPositions()
{
    QStringList items;
    for (const ShadowRow& row : ShadowRows)
        items << QString::fromUtf16(row.item);
    return items;
}

std::optional<int> direction(const QString& item)
{
    return indexOf(directions(), item);
}

std::optional<int> angle(const QString& item)
{
    const std::optional<int> at = indexOf(angles(), item);
    return at ? std::optional<int>(*at * 90) : std::nullopt;
}

QPoint shadowOffset(const QString& item, int distance)
{
    for (const ShadowRow& row : ShadowRows)
        if (item == QString::fromUtf16(row.item))
            return QPoint(row.dx * distance, row.dy * distance);
    return QPoint(0, 0);
}

bool isShadowPosition(const QString& item)
{
    return shadowPositions().contains(item);
}

} // namespace TextItems
