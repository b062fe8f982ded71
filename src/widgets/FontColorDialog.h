#pragma once
// The font dialog as the desktop's own has it: face, style, size, effects and the font colour,
// chosen from the sixteen basic colours (a colour outside them is shown as "カスタム" and kept
// unless another is chosen). It opens on the installed face a name stands for ("ＭＳ Ｐゴシック"
// is drawn with an IPA face), offers bold and italic for every face (drawing makes them up when a
// face has none), and gives back the name it was opened with while that face stays chosen, so OK
// without a change changes nothing.
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtWidgets/QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

class FontColorDialog : public QDialog
{
    Q_OBJECT
  public:
    FontColorDialog(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    // The installed face the name is drawn with: the name itself, its first installed
    // substitute, or the face the font system picks for it.
    static QString installedFace(const QString& name);

    QFont font() const;
    QColor color() const;
    void setColor(const QColor& color);

    QLineEdit* edFace;
    QListWidget* lbFace;
    QListWidget* lbStyle;
    QLineEdit* edSize;
    QListWidget* lbSize;
    QCheckBox* cbStrikeOut;
    QCheckBox* cbUnderline;
    QComboBox* cbColor;
    QLabel* lbSample;

  public slots:
    // OK takes what was typed into the face and size fields; what names no face or size keeps
    // the choice before it.
    void accept() override;

  private:
    void buildLists();
    void buildLayout();
    void connectControls();
    void showFont(const QFont& font);
    void faceTyped(const QString& text);
    void sizeTyped(const QString& text);
    QString chosenFace() const;
    void showSample();

    QString openedName_;
    QString openedFace_;
    int size_ = 9;
};
