#pragma once
// Colours as the settings files hold them: 0x00BBGGRR (red in the low byte), or one of the desktop's
// own colours as 0x80000000 plus its index, which reads as a negative number.
#include <QtCore/QtGlobal>
#include <QtGui/QColor>

namespace ColorValue {
inline constexpr qint32 systemColor(int index)
{
    return qint32(0x80000000u | quint32(index));
}
inline constexpr qint32 InactiveCaption = systemColor(3);
inline constexpr qint32 Window = systemColor(5);
inline constexpr qint32 WindowText = systemColor(8);
inline constexpr qint32 ButtonFace = systemColor(15);
inline constexpr qint32 Maroon = 0x000080;

qint32 fromColor(const QColor& color);
// The desktop's colours come from the application's palette.
QColor toColor(qint32 value);
} // namespace ColorValue
