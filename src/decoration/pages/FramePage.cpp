#include "decoration/pages/FramePage.h"

#include "decoration/FrameCommand.h"
#include "decoration/StampPicture.h"
#include "decoration/pages/PictureListPage.h"
#include "foundation/Prompts.h"
#include "widgets/ThumbnailList.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

FramePage::FramePage(FrameCommand& command, Prompts& prompts, QWidget* parent)
    : QWidget(parent), command_(command), prompts_(prompts)
{
    setObjectName(QStringLiteral("tsFrames"));
    IkThumbFrames = PictureListPage::addList(this, "IkThumbFrames", QStringLiteral("フレーム一覧"), {6, 22, 205, 300});
    edFrameName = PictureListPage::addNameBox(this, "edFrameName", {6, 330, 205, 22});
    btDrawFrame = new QPushButton(QStringLiteral("フレームを描画"), this);
    btDrawFrame->setObjectName(QStringLiteral("btDrawFrame"));
    btDrawFrame->setGeometry(6, 360, 205, 30);
    connect(IkThumbFrames, &ThumbnailList::fileSelected, this,
            [this](const QString& name) { IkThumbFramesSelectFile(name); });
    connect(btDrawFrame, &QPushButton::clicked, this, [this](bool) { btDrawFrameClick(); });
}

void FramePage::listFiles()
{
    PictureListPage::fill(IkThumbFrames, command_.folder());
}

void FramePage::IkThumbFramesSelectFile(const QString& fileName)
{
    edFrameName->setText(StampPicture::shownName(fileName));
}

void FramePage::btDrawFrameClick()
{
    const QString selected = IkThumbFrames->selectedFile();
    if (selected.isEmpty()) {
        prompts_.message(MessageKind::Error, QStringLiteral("フレームが選択されていません。"));
        return;
    }
    command_.drawFrame(command_.folder() + selected);
}

#include "moc_FramePage.cpp"
