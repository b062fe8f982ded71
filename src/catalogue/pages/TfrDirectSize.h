#pragma once
// "画面の大きさを直接入力": typing a screen size, colour depth and size limit by hand. The dialog is
// filled afresh at each opening and hands back its four fields when it closes with "決定".
#include <QtWidgets/QDialog>

class NumericField;
class QPushButton;
class UpDown;
struct TModelEntry;

class TfrDirectSize : public QDialog
{
    Q_OBJECT
  public:
    explicit TfrDirectSize(QWidget* parent = nullptr);

    // Width, height and colour depth from the target model; the limit as the main window shows it.
    void fill(const TModelEntry& target, const QString& sizeLimitText);

    // Leaving each field clamps it into its range.
    void csMpWidthExit();
    void csMpHeightExit();
    void csColExit();
    void csFSExit();
    // "決定": the field being left is clamped first, then the dialog closes accepted.
    void btOkClick();

    NumericField* csMpWidth;
    UpDown* udMpWidth;
    NumericField* csMpHeight;
    UpDown* udMpHeight;
    NumericField* csCol;
    UpDown* udCol;
    NumericField* csFS;
    UpDown* udFS;
    QPushButton* btCancel;
    QPushButton* btOk;

  private:
    void build();
    QList<NumericField*> fields() const;
};
