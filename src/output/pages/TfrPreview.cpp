#include "output/pages/TfrPreview.h"

#include "imaging/codecs/ImageFile.h"
#include "imaging/resampling/ReducedView.h"

#include <QtGui/QPixmap>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>

TfrPreview::TfrPreview(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frPreview"));
    setWindowTitle(QStringLiteral("作成画像のプレビュー"));
    setFixedSize(500, 560);
    // Shown while the always-on-top progress dialog is up: the picture must not lie under it.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    lbMessage = new QLabel(QStringLiteral("下記の画像を転送してもよろしいですか？"), this);
    lbMessage->setObjectName(QStringLiteral("lbMessage"));
    lbMessage->move(10, 8);
    imageArea = new QScrollArea(this);
    imageArea->setObjectName(QStringLiteral("imageArea"));
    imageArea->setGeometry(10, 30, ImageSide, ImageSide);
    imageArea->setFrameShape(QFrame::NoFrame);
    imageArea->setAlignment(Qt::AlignCenter);
    // A picture larger than the area is shown whole, reduced the way the main view reduces it.
    IkDispPreview = new QLabel;
    IkDispPreview->setObjectName(QStringLiteral("IkDispPreview"));
    imageArea->setWidget(IkDispPreview);
    btOK = new QPushButton(QStringLiteral("OK"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setGeometry(150, 524, 89, 27);
    btOK->setDefault(true);
    btCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setGeometry(261, 524, 89, 27);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrPreview::confirm(const QString& path)
{
    const DecodedImage decoded = ImageFile::load(path);
    IkDispPreview->setPixmap(QPixmap::fromImage(ReducedView::fitted(decoded.image, QSize(ImageSide, ImageSide))));
    IkDispPreview->adjustSize();
    btOK->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    IkDispPreview->clear();
    return accepted;
}

#include "moc_TfrPreview.cpp"
