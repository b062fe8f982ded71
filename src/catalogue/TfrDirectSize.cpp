#include "catalogue/TfrDirectSize.h"

TfrDirectSize::TfrDirectSize(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frDirectSize"));
    setWindowTitle(QStringLiteral("画面の大きさを直接入力"));
    setFixedSize(320, 152);
}
