#pragma once
// What the text page holds when text is placed or previewed.
#include <QtCore/QPoint>
#include <QtCore/QString>
#include <QtGui/QRgb>
#include <optional>

struct TextFont
{
    QString name = QStringLiteral("ＭＳ Ｐゴシック");
    int size = 9; // points
    bool bold = false;
    bool italic = false;
};

struct TextSettings
{
    QString text;
    // Empty when the combo box holds typed text that names no item: the drawing default stays.
    std::optional<int> direction = 0;
    std::optional<int> angle = 0;
    bool shadow = true;
    QPoint shadowOffset{3, 3};
    QRgb textColor = 0xFF000000;
    QRgb shadowColor = 0xFFC0C0C0;
    TextFont font;
};
