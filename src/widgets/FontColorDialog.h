#pragma once
// The font dialog as the desktop's own has it: face, style, size and effects, and the font colour,
// chosen from the sixteen basic colours. A colour outside them is shown as "カスタム" and kept
// unless another is chosen.
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtWidgets/QDialog>

class QComboBox;
class QFontDialog;

class FontColorDialog : public QDialog
{
    Q_OBJECT
  public:
    FontColorDialog(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QFont font() const;
    QColor color() const;
    void setColor(const QColor& color);

    QComboBox* cbColor;

  private:
    QFontDialog* fonts_;
};
