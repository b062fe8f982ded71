#pragma once
// "カレンダーの設定": weekday colours, notations, the first weekday and the holiday list.
#include <QtWidgets/QDialog>

class TfrCalender : public QDialog {
    Q_OBJECT
public:
    explicit TfrCalender(QWidget* parent = nullptr);
};
