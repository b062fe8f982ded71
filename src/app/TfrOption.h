#pragma once
// "環境設定": the options dialog.
#include <QtWidgets/QDialog>

class QPushButton;

class TfrOption : public QDialog {
    Q_OBJECT
public:
    explicit TfrOption(QWidget* parent = nullptr);

    QPushButton* btOK;
    QPushButton* btCancel;
    QPushButton* btOption;
};
