#include "decoration/pages/StampPage.h"

#include "decoration/StampPicture.h"
#include "decoration/StampTool.h"
#include "decoration/pages/PictureListPage.h"
#include "widgets/ImageDisplay.h"
#include "widgets/ThumbnailList.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

StampPage::StampPage(StampTool& tool, QWidget* parent) : QWidget(parent), tool_(tool)
{
    setObjectName(QStringLiteral("tsStamp"));
    IkThumbStamp = PictureListPage::addList(this, "IkThumbStamp", QStringLiteral("スタンプ一覧"), {6, 22, 205, 210});
    (new QLabel(QStringLiteral("選択されているスタンプ"), this))->move(6, 238);
    edStampName = PictureListPage::addNameBox(this, "edStampName", {6, 256, 205, 22});
    IkDispStamp = new ImageDisplay(this);
    IkDispStamp->setObjectName(QStringLiteral("IkDispStamp"));
    IkDispStamp->setGeometry(6, 284, 205, 100);
    IkDispStamp->setBackColor(Qt::white);
    connect(IkThumbStamp, &ThumbnailList::fileSelected, this,
            [this](const QString& name) { IkThumbStampSelectFile(name); });
}

void StampPage::listFiles()
{
    PictureListPage::fill(IkThumbStamp, tool_.folder());
}

void StampPage::IkThumbStampSelectFile(const QString& fileName)
{
    IkDispStamp->setImage(QImage());
    edStampName->setText(StampPicture::shownName(fileName));
    tool_.IkThumbStampSelectFile(fileName);
    IkDispStamp->setImage(tool_.stamp());
}

#include "moc_StampPage.cpp"
