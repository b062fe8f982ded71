#pragma once
// A colour swatch (`st…`): a sunken box filled with one colour.
#include <QtWidgets/QFrame>

class OptionSwatch : public QFrame {
    Q_OBJECT
public:
    OptionSwatch(const char* name, QColor color, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

private:
    QColor color_;
};
