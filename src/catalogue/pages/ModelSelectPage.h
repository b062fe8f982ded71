#pragma once
// The page " 機種選択 ": carrier and model lists, the chosen model's numbers and the size limit.
#include "catalogue/ModelCatalogue.h"
#include "widgets/NumericField.h"

#include <QtWidgets/QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class Prompts;
class TfrDirectSize;
class UpDown;

class ModelSelectPage : public QWidget
{
    Q_OBJECT
  public:
    ModelSelectPage(const ModelCatalogue& catalogue, TModelEntry& targetModel, Prompts& prompts,
                    QWidget* parent = nullptr);

    // Refills the carrier list from the catalogue; the list's text is left as it was.
    void fillCarriers();
    void cbCarrierChange();
    void cbPhoneChange();
    // Makes the entry the target model, shows its numbers and writes its limit into csFS.
    void ApplyModel(const TModelEntry& entry);

    // Texts set from code do not run the change handlers.
    void setCarrierText(const QString& text);
    void setPhoneText(const QString& text);
    QString carrierText() const;
    QString phoneText() const;
    // After a new catalogue the lists show their prompts until the user chooses; the model in
    // force stays, and it is what the settings keep while a list shows its prompt.
    void showPrompts();
    QString carrierToKeep() const;
    QString phoneToKeep() const;
    QStringList phoneItems() const;
    QString sizeLimitText() const;
    // The size limit in force: the value of csFS (its minimum while it holds no number).
    int sizeLimit() const;

    // "画面の大きさを直接入力": fills the dialog, shows it modally and, on "決定", takes its size,
    // colour depth and limit into the target model and the fields; the canvas follows.
    void btDirectSizeClick(TfrDirectSize& dialog);
    // The size-limit field's own handlers: an arrow click and leaving the field.
    void udFSChangingEx(StepDirection direction);
    void csFSExit();

    QComboBox* cbCarrier;
    QComboBox* cbPhone;
    QLineEdit* edMpWidth;
    QLineEdit* edMpHeight;
    QLineEdit* edMpCol;
    NumericField* csFS;
    UpDown* udFS;
    QPushButton* btDirectSize;
    QPushButton* btUpdate;

  signals:
    // The canvas must take the new target size.
    void modelApplied(int width, int height);

  protected:
    // Enter in the carrier or model list confirms the typed name and goes no further; the focus
    // leaving a list changes no model.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void build();

    const ModelCatalogue& catalogue_;
    TModelEntry& targetModel_;
    Prompts& prompts_;
    bool focusLeaving_ = false;
};
