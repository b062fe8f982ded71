#include "app/OptionTransferPage.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

OptionTransferPage::OptionTransferPage(QWidget* parent)
    : OptionPage("tsTrans", parent), formats_(new QButtonGroup(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildFormatGroup());
    layout->addWidget(buildReductionGroup());
    layout->addWidget(buildTransferGroup());
    layout->addWidget(buildSocksGroup());
    layout->addStretch();
    bringInLine();
}

QWidget* OptionTransferPage::buildFormatGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" 保存するファイル形式 "), this);
    auto* grid = new QGridLayout(group);
    const std::pair<const char*, const char16_t*> buttons[] = {
        {"sbJPEG", u"JPEG形式"}, {"sbGIF", u"GIF形式"}, {"sbPNG", u"PNG形式"}, {"sbBMP", u"BMP形式"}};
    // Exclusive: pressing one releases the others and the pressed one cannot be released.
    formats_->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(group);
        b->setObjectName(QLatin1String(buttons[i].first));
        b->setText(QString::fromUtf16(buttons[i].second));
        b->setCheckable(true);
        b->setMinimumWidth(88);
        formats_->addButton(b, i);
        grid->addWidget(b, 0, i);
        formatButtons_[i] = b;
    }
    sbJPEG = formatButtons_[0];
    sbGIF = formatButtons_[1];
    sbPNG = formatButtons_[2];
    sbBMP = formatButtons_[3];
    sbJPEG->setChecked(true);
    connect(formats_, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            emit changed();
    });
    return group;
}

QWidget* OptionTransferPage::buildReductionGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" 減色方法 "), this);
    auto* box = new QVBoxLayout(group);
    cbDither = new QCheckBox(QStringLiteral("ディザリング減色を行う"), group);
    cbDither->setObjectName(QStringLiteral("cbDither"));
    cbDither->setChecked(true);
    cbFixedPal = new QCheckBox(QStringLiteral("固定パレットを使用する（パレットの最適化を行わない）"), group);
    cbFixedPal->setObjectName(QStringLiteral("cbFixedPal"));
    box->addWidget(cbDither);
    box->addWidget(cbFixedPal);
    connect(cbDither, &QCheckBox::toggled, this, &OptionPage::changed);
    connect(cbFixedPal, &QCheckBox::toggled, this, &OptionPage::changed);
    return group;
}

QWidget* OptionTransferPage::buildTransferGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" 転送方法 "), this);
    auto* box = new QVBoxLayout(group);
    rbInternet = new QRadioButton(QStringLiteral("KestrixNetを利用して携帯電話に転送する"), group);
    rbInternet->setObjectName(QStringLiteral("rbInternet"));
    rbInternet->setChecked(true); // the only method there is
    box->addWidget(rbInternet);
    return group;
}

QLineEdit* OptionTransferPage::socksField(const char* name, const QString& caption, const QString& note, int row)
{
    auto* grid = static_cast<QGridLayout*>(socksGroup_->layout());
    auto* label = new QLabel(caption, socksGroup_);
    auto* field = new QLineEdit(socksGroup_);
    field->setObjectName(QLatin1String(name));
    label->setBuddy(field);
    grid->addWidget(label, row, 1);
    grid->addWidget(field, row, 2);
    socksLabels_ << label;
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note, socksGroup_);
        grid->addWidget(noteLabel, row, 3);
        socksLabels_ << noteLabel;
    }
    connect(field, &QLineEdit::textChanged, this, &OptionPage::changed);
    return field;
}

QWidget* OptionTransferPage::buildSocksGroup()
{
    auto* group = new QGroupBox(QStringLiteral(" 転送時のSOCKS設定 "), this);
    socksGroup_ = group;
    auto* grid = new QGridLayout(group);
    cbSocks = new QCheckBox(QStringLiteral("SOCKS経由でアップロードする"), group);
    cbSocks->setObjectName(QStringLiteral("cbSocks"));
    grid->addWidget(cbSocks, 0, 0, 1, 4);
    grid->setColumnMinimumWidth(0, 12);
    edSockServer = socksField("edSockServer", QStringLiteral("SOCKSサーバ"), {}, 1);
    edSockPort = socksField("edSockPort", QStringLiteral("ポート番号"), {}, 2);
    edSockUser = socksField("edSockUser", QStringLiteral("ユーザ名"), QStringLiteral("(省略可能)"), 3);
    edSockPassword = socksField("edSockPassword", QStringLiteral("パスワード"), QStringLiteral("(省略可能)"), 4);
    edSockPassword->setEchoMode(QLineEdit::Password);
    edSockPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // shown as "*"
    connect(cbSocks, &QCheckBox::toggled, this, [this] {
        bringInLine();
        emit changed();
    });
    return group;
}

void OptionTransferPage::show(const ProgramOptions& o)
{
    formatButtons_.at(int(o.saveFormat))->setChecked(true);
    cbDither->setChecked(o.dither);
    cbFixedPal->setChecked(o.fixedPalette);
    rbInternet->setChecked(true);
    cbSocks->setChecked(o.useSocks);
    edSockServer->setText(o.socksServer);
    edSockPort->setText(o.socksPort);
    edSockUser->setText(o.socksUser);
    edSockPassword->setText(o.socksPassword);
}

void OptionTransferPage::collect(ProgramOptions& o) const
{
    o.saveFormat = SaveFormatChoice(std::max(0, formats_->checkedId()));
    o.dither = cbDither->isChecked();
    o.fixedPalette = cbFixedPal->isChecked();
    o.useSocks = cbSocks->isChecked();
    o.socksServer = edSockServer->text();
    o.socksPort = edSockPort->text();
    o.socksUser = edSockUser->text();
    o.socksPassword = edSockPassword->text();
}

void OptionTransferPage::bringInLine()
{
    const bool socks = cbSocks->isChecked();
    for (QLineEdit* field : {edSockServer, edSockPort, edSockUser, edSockPassword})
        field->setEnabled(socks);
    for (QLabel* label : std::as_const(socksLabels_))
        label->setEnabled(socks);
}

#include "moc_OptionTransferPage.cpp"
