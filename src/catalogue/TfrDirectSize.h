#pragma once
// "画面の大きさを直接入力": typing a screen size, colour depth and size limit by hand.
#include <QtWidgets/QDialog>

class TfrDirectSize : public QDialog {
    Q_OBJECT
public:
    explicit TfrDirectSize(QWidget* parent = nullptr);
};
