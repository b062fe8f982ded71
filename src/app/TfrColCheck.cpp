#include "app/TfrColCheck.h"

#include "foundation/Prompts.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>

TfrColCheck::TfrColCheck(Prompts& prompts, QString supportAddress, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frColCheck"));
    setWindowTitle(QStringLiteral("警告"));
    setFixedSize(345, 112);
    auto* line1 = new QLabel(QStringLiteral("画面の色数が、16ビット以下に指定されておりますと、"), this);
    line1->move(12, 10);
    auto* line2 = new QLabel(QStringLiteral("転送時にプレビューが表示されません。よろしいですか？"), this);
    line2->move(12, 28);
    auto* line3 = new QLabel(this);
    line3->move(12, 50);
    line3->setTextFormat(Qt::RichText);
    line3->setText(
        QStringLiteral("※詳しくは弊社<a href=\"support\" style=\"color:#800000\">ホームページのサポートページ</a>"
                       "をご覧ください。"));
    line3->setCursor(Qt::PointingHandCursor);
    lbSupport = line3;
    lbSupport->setObjectName(QStringLiteral("lbSupport"));
    connect(lbSupport, &QLabel::linkActivated, this,
            [&prompts, supportAddress](const QString&) { prompts.openUrl(supportAddress); });

    btYes = new QPushButton(QStringLiteral("はい"), this);
    btYes->setObjectName(QStringLiteral("btYes"));
    btYes->setGeometry(92, 78, 75, 25);
    btYes->setDefault(true);
    btNo = new QPushButton(QStringLiteral("いいえ"), this);
    btNo->setObjectName(QStringLiteral("btNo"));
    btNo->setGeometry(178, 78, 75, 25);
    connect(btYes, &QPushButton::clicked, this, &QDialog::accept);
    connect(btNo, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrColCheck::ask()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}

#include "moc_TfrColCheck.cpp"
