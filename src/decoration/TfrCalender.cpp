#include "decoration/TfrCalender.h"

TfrCalender::TfrCalender(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frCalender"));
    setWindowTitle(QStringLiteral("カレンダーの設定"));
    setFixedSize(420, 440);
}
