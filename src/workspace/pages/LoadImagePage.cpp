#include "workspace/pages/LoadImagePage.h"

#include "foundation/Prompts.h"
#include "imaging/codecs/PictureFormats.h"
#include "workspace/PictureLoader.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace {

QLineEdit* infoField(const char* name, QWidget* parent, QRect geometry)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    field->setGeometry(geometry);
    return field;
}

} // namespace

LoadImagePage::LoadImagePage(PictureLoader& loader, Prompts& prompts, QWidget* parent)
    : QWidget(parent), loader_(loader), prompts_(prompts)
{
    setObjectName(QStringLiteral("tsLoadImage"));
    auto* sources = new QGroupBox(QStringLiteral(" 画像の入力 "), this);
    sources->setGeometry(4, 4, 209, 100);
    btOpenFromFile = new QPushButton(QStringLiteral("ファイルから入力"), sources);
    btOpenFromFile->setObjectName(QStringLiteral("btOpenFromFile"));
    btOpenFromFile->setGeometry(10, 24, 189, 28);
    btOpenFromClipboard = new QPushButton(QStringLiteral("クリップボードから入力"), sources);
    btOpenFromClipboard->setObjectName(QStringLiteral("btOpenFromClipboard"));
    btOpenFromClipboard->setGeometry(10, 60, 189, 28);

    auto* info = new QGroupBox(QStringLiteral(" 元画像の情報 "), this);
    info->setGeometry(4, 112, 209, 90);
    (new QLabel(QStringLiteral("大きさ"), info))->move(10, 24);
    (new QLabel(QStringLiteral("横"), info))->move(10, 46);
    edOrgWidth = infoField("edOrgWidth", info, {26, 42, 56, 22});
    (new QLabel(QStringLiteral("×"), info))->move(88, 46);
    edOrgHeight = infoField("edOrgHeight", info, {104, 42, 56, 22});
    (new QLabel(QStringLiteral("縦"), info))->move(166, 46);
    (new QLabel(QStringLiteral("色の数"), info))->move(10, 68);
    edOrgCol = infoField("edOrgCol", info, {70, 64, 56, 22});
    (new QLabel(QStringLiteral("bit"), info))->move(132, 68);

    connect(btOpenFromFile, &QPushButton::clicked, this, [this](bool) { btOpenFromFileClick(); });
    connect(btOpenFromClipboard, &QPushButton::clicked, this, [this](bool) { btOpenFromClipboardClick(); });
    connect(&loader, &PictureLoader::pictureLoaded, this, &LoadImagePage::showPicture);
}

void LoadImagePage::btOpenFromFileClick()
{
    FileDialogRequest request;
    request.title = QStringLiteral("元画像の入力");
    request.folder = loader_.lastLoadFolder();
    request.filter = QStringLiteral("すべての画像|") + PictureFormats::filterPatterns();
    const QString path = prompts_.openFileName(request);
    if (!path.isEmpty())
        loader_.load(path);
}

void LoadImagePage::btOpenFromClipboardClick()
{
    loader_.loadClipboard();
}

void LoadImagePage::showPicture(int width, int height, int bitCount)
{
    edOrgWidth->setText(QString::number(width));
    edOrgHeight->setText(QString::number(height));
    edOrgCol->setText(QString::number(bitCount));
}

#include "moc_LoadImagePage.cpp"
