#pragma once
// "作成画像のプレビュー": the picture about to be sent, for the user to confirm.
#include <QtWidgets/QDialog>

class TfrPreview : public QDialog {
    Q_OBJECT
public:
    explicit TfrPreview(QWidget* parent = nullptr);
};
