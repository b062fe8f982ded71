#include "app/OptionGeneralPage.h"

#include "decoration/pages/ColorSwatch.h"
#include "foundation/Prompts.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QVBoxLayout>

namespace {

template <typename Control> Control* named(Control* control, const char* name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

OptionGeneralPage::OptionGeneralPage(Prompts& prompts, QWidget* parent)
    : OptionPage("tsGeneral", parent), prompts_(prompts)
{
    auto* layout = new QVBoxLayout(this);
    buildGuideGroup();
    cbAutoCheck =
        named(new QCheckBox(QStringLiteral("起動時に最新の機種情報ファイルに自動更新する"), this), "cbAutoCheck");
    layout->addWidget(cbGuide->parentWidget());
    layout->addWidget(cbAutoCheck);
    buildNetworkGroup();
    layout->addWidget(rbDirect->parentWidget());
    cbStayOnTop =
        named(new QCheckBox(QStringLiteral("サブウィンドウを常に手前に表示する(プログラム再起動後に有効)"), this),
              "cbStayOnTop");
    layout->addWidget(cbStayOnTop);
    layout->addStretch();

    connect(cbGuide, &QCheckBox::toggled, this, [this] {
        emit guideLinesChanged(cbGuide->isChecked(), QColor::fromRgb(stGuideColor->color()));
        emit changed();
    });
    connect(btChangeGuideLineColor, &QPushButton::clicked, this, &OptionGeneralPage::btChangeGuideLineColorClick);
    connect(cbAutoCheck, &QCheckBox::toggled, this, &OptionPage::changed);
    connect(rbInDirect, &QRadioButton::toggled, this, [this] {
        bringInLine();
        emit changed();
    });
    connect(edProxy, &QLineEdit::textChanged, this, &OptionPage::changed);
    connect(edPort, &QLineEdit::textChanged, this, &OptionPage::changed);
    connect(cbStayOnTop, &QCheckBox::toggled, this, &OptionPage::quietlyChanged);
}

void OptionGeneralPage::buildGuideGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" ガイドラインの表示 "), this);
    auto* grid = new QGridLayout(group);
    cbGuide = named(new QCheckBox(QStringLiteral("ガイドラインを表示する"), group), "cbGuide");
    btChangeGuideLineColor =
        named(new QPushButton(QStringLiteral("ガイドラインの色を変更"), group), "btChangeGuideLineColor");
    stGuideColor = new ColorSwatch("stGuideColor", qRgb(0, 0, 0), group);
    stGuideColor->setFixedSize(41, 21);
    grid->addWidget(cbGuide, 0, 0, 1, 3);
    grid->addWidget(btChangeGuideLineColor, 1, 0);
    grid->addWidget(stGuideColor, 1, 1);
    grid->setColumnStretch(2, 1);
}

void OptionGeneralPage::buildNetworkGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" 機種情報ファイルのネットワーク設定 "), this);
    auto* grid = new QGridLayout(group);
    rbDirect = named(new QRadioButton(QStringLiteral("直接インターネットに接続"), group), "rbDirect");
    rbInDirect = named(new QRadioButton(QStringLiteral("プロキシを経由してインターネットに直接"), group), "rbInDirect");
    rbDirect->setChecked(true);
    lbProxy = named(new QLabel(QStringLiteral("プロキシサーバ"), group), "lbProxy");
    edProxy = named(new QLineEdit(group), "edProxy");
    lbPort = named(new QLabel(QStringLiteral("ポート"), group), "lbPort");
    edPort = named(new QLineEdit(group), "edPort");
    edPort->setFixedWidth(60);
    auto* note = new QLabel(QStringLiteral("※ネットワークの混み具合により数十秒かかる場合があります"), group);
    grid->addWidget(rbDirect, 0, 0, 1, 4);
    grid->addWidget(rbInDirect, 1, 0, 1, 4);
    grid->addWidget(lbProxy, 2, 0);
    grid->addWidget(edProxy, 2, 1);
    grid->addWidget(lbPort, 2, 2);
    grid->addWidget(edPort, 2, 3);
    grid->addWidget(note, 3, 0, 1, 4);
    grid->setColumnMinimumWidth(0, 24);
    bringInLine();
}

void OptionGeneralPage::btChangeGuideLineColorClick()
{
    const std::optional<QColor> color = prompts_.chooseColor(QColor::fromRgb(stGuideColor->color()));
    if (!color)
        return;
    stGuideColor->setColor(color->rgb());
    emit guideLinesChanged(cbGuide->isChecked(), *color);
    emit changed();
}

void OptionGeneralPage::show(const ProgramOptions& o)
{
    cbGuide->setChecked(o.showGuides);
    stGuideColor->setColor(o.guideColor.rgb());
    cbAutoCheck->setChecked(o.autoCheck);
    (o.useProxy ? rbInDirect : rbDirect)->setChecked(true);
    edProxy->setText(o.proxyHost);
    edPort->setText(o.proxyPort);
    cbStayOnTop->setChecked(o.stayOnTop);
}

void OptionGeneralPage::collect(ProgramOptions& o) const
{
    o.showGuides = cbGuide->isChecked();
    o.guideColor = QColor::fromRgb(stGuideColor->color());
    o.autoCheck = cbAutoCheck->isChecked();
    o.useProxy = rbInDirect->isChecked();
    o.proxyHost = edProxy->text();
    o.proxyPort = edPort->text();
    o.stayOnTop = cbStayOnTop->isChecked();
}

void OptionGeneralPage::bringInLine()
{
    const bool proxy = rbInDirect->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(lbProxy), static_cast<QWidget*>(edProxy), static_cast<QWidget*>(lbPort),
                       static_cast<QWidget*>(edPort)})
        w->setEnabled(proxy);
}

#include "moc_OptionGeneralPage.cpp"
