#include "app/OptionVersionPage.h"

#include "app/ClickLabel.h"

#include <QtGui/QIcon>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

OptionVersionPage::OptionVersionPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsVersion"));
    auto* layout = new QVBoxLayout(this);
    auto* head = new QGridLayout;
    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(32, 32);
    auto* name = new QLabel(QStringLiteral("Pictorel"), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    name->setFont(bold);
    head->addWidget(ProgramIcon, 0, 0, 2, 1);
    head->addWidget(name, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("Version " PICTOREL_VERSION), this), 1, 1);
    head->setColumnStretch(2, 1);
    layout->addLayout(head);
    layout->addSpacing(16);

    layout->addWidget(new QLabel(QStringLiteral("最新版入手やご意見等は↓こちらへどうぞ"), this));
    ImageLogo = new ClickLabel("ImageLogo", this);
    ImageLogo->setPixmap(QPixmap(QStringLiteral(":/pictures/ImageLogo.png")));
    layout->addWidget(ImageLogo);
    layout->addSpacing(16);
    layout->addWidget(new QLabel(QStringLiteral("今後の開発のためご寄付を募集しております．"), this));
    ImagePay = new ClickLabel("ImagePay", this);
    ImagePay->setPixmap(QPixmap(QStringLiteral(":/pictures/ImagePay.png")));
    layout->addWidget(ImagePay);
    layout->addStretch();
}

void OptionVersionPage::showEvent(QShowEvent* event)
{
    // The window icon is set once the program has started; take it when the page is seen.
    ProgramIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    QWidget::showEvent(event);
}

#include "moc_OptionVersionPage.cpp"
