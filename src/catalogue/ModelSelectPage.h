#pragma once
// The page " 機種選択 ": carrier and model lists, the chosen model's numbers and the size limit.
#include "catalogue/ModelCatalogue.h"

#include <QtWidgets/QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class Prompts;

class ModelSelectPage : public QWidget {
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
    QStringList phoneItems() const;
    QString sizeLimitText() const;

    QComboBox* cbCarrier;
    QComboBox* cbPhone;
    QLineEdit* edMpWidth;
    QLineEdit* edMpHeight;
    QLineEdit* edMpCol;
    QLineEdit* csFS;
    QPushButton* btDirectSize;
    QPushButton* btUpdate;

signals:
    // The canvas must take the new target size.
    void modelApplied(int width, int height);

private:
    void build();

    const ModelCatalogue& catalogue_;
    TModelEntry& targetModel_;
    Prompts& prompts_;
};
