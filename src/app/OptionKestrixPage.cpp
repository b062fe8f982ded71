#include "app/OptionKestrixPage.h"

#include "app/ClickLabel.h"

#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

QLineEdit* accountField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    return field;
}

} // namespace

OptionKestrixPage::OptionKestrixPage(QWidget* parent) : OptionPage("tsKestrix", parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("※KestrixNetの登録情報を入力して「設定」ボタンを押してください．"), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* grid = new QGridLayout;
    edJEXaddress = accountField("edJEXaddress", this);
    edJEXuid = accountField("edJEXuid", this);
    edJEXpass = accountField("edJEXpass", this);
    edJEXpass->setEchoMode(QLineEdit::Password);
    edJEXpass->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // shown as "*"
    const std::pair<const char16_t*, QLineEdit*> rows[] = {
        {u"登録携帯メールアドレス", edJEXaddress}, {u"ユーザID", edJEXuid}, {u"パスワード", edJEXpass}};
    int row = 0;
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(QString::fromUtf16(caption), this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row++, 1);
        connect(field, &QLineEdit::textChanged, this, [this] {
            emit accountEdited();
            emit changed();
        });
    }
    layout->addLayout(grid);
    layout->addSpacing(16);

    auto* signUp = new QHBoxLayout;
    signUp->addWidget(new QLabel(QStringLiteral("KestrixNet未登録の方は，こちら"), this));
    signUp->addWidget(new QLabel(QStringLiteral("→"), this));
    btJEXregist = new QPushButton(QStringLiteral("登録"), this);
    btJEXregist->setObjectName(QStringLiteral("btJEXregist"));
    signUp->addWidget(btJEXregist);
    signUp->addStretch();
    layout->addLayout(signUp);

    auto* site = new QHBoxLayout;
    ImageKestrix = new ClickLabel("ImageKestrix", this);
    ImageKestrix->setPixmap(QPixmap(QStringLiteral(":/pictures/ImageKestrix.png")));
    site->addWidget(ImageKestrix);
    site->addWidget(new QLabel(QStringLiteral("から登録を行ってください(無料)．"), this));
    site->addStretch();
    layout->addLayout(site);
    layout->addStretch();
}

void OptionKestrixPage::show(const ProgramOptions& o)
{
    edJEXaddress->setText(o.account.mailAddress);
    edJEXuid->setText(o.account.userId);
    edJEXpass->setText(o.account.password);
}

void OptionKestrixPage::collect(ProgramOptions& o) const
{
    o.account.mailAddress = edJEXaddress->text();
    o.account.userId = edJEXuid->text();
    o.account.password = edJEXpass->text();
}

#include "moc_OptionKestrixPage.cpp"
