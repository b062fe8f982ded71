#pragma once
// The items of the text page's combo boxes and what each stands for.
#include <QtCore/QPoint>
#include <QtCore/QStringList>
#include <optional>

namespace TextItems {

QStringList directions(); // TextDirection 0 .. 3 in item order
QStringList angles();     // 0, 90, 180, 270 degrees in item order
QStringList shadowPositions();

std::optional<int> direction(const QString& item);
std::optional<int> angle(const QString& item);
// The shadow's offset from the text at distance d; positive y is downwards. An item that names no
// position puts the shadow under the text, where the text pass covers it.
QPoint shadowOffset(const QString& item, int distance);
bool isShadowPosition(const QString& item);

} // namespace TextItems
