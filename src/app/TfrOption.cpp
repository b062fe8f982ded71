#include "app/TfrOption.h"

#include <QtWidgets/QPushButton>

TfrOption::TfrOption(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frOption"));
    setWindowTitle(QStringLiteral("環境設定"));
    setFixedSize(440, 528);
    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setGeometry(196, 492, 75, 25);
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setGeometry(276, 492, 75, 25);
    btOption = new QPushButton(QStringLiteral("適用(&A)"), this);
    btOption->setObjectName(QStringLiteral("btOption"));
    btOption->setGeometry(356, 492, 75, 25);
    btOption->setEnabled(false);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}
