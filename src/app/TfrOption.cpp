#include "app/TfrOption.h"

#include "app/ClickLabel.h"
#include "app/OptionEffectPage.h"
#include "app/OptionGeneralPage.h"
#include "app/OptionKestrixPage.h"
#include "app/OptionMarginPage.h"
#include "app/OptionTransferPage.h"
#include "app/OptionVersionPage.h"
#include "app/PageControl.h"
#include "decoration/pages/ColorSwatch.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QPushButton>

TfrOption::TfrOption(ProgramOptions& options, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), options_(options)
{
    setObjectName(QStringLiteral("frOption"));
    setWindowTitle(QStringLiteral("環境設定"));
    setFixedSize(ClientWidth, ClientHeight);
    buildPages(prompts);
    buildButtons();
    connectLinks();
    takeOptions();
    restorePoint_ = current();
}

void TfrOption::buildPages(Prompts& prompts)
{
    pcOption = new PageControl(this);
    pcOption->setObjectName(QStringLiteral("pcOption"));
    pcOption->setGeometry(4, 4, ClientWidth - 8, 480);
    tsGeneral = new OptionGeneralPage(prompts);
    tsMergin = new OptionMarginPage(prompts);
    tsEffect = new OptionEffectPage;
    tsTrans = new OptionTransferPage;
    tsKestrix = new OptionKestrixPage;
    tsVersion = new OptionVersionPage;
    pcOption->addPage(tsGeneral, QStringLiteral("一般"));
    pcOption->addPage(tsMergin, QStringLiteral("画像の余白"));
    pcOption->addPage(tsEffect, QStringLiteral("効果"));
    pcOption->addPage(tsTrans, QStringLiteral("ファイル保存・転送"));
    pcOption->addPage(tsKestrix, QStringLiteral("KestrixNet"));
    pcOption->addPage(tsVersion, QStringLiteral("バージョン情報"));
    pages_ = {tsGeneral, tsMergin, tsEffect, tsTrans, tsKestrix};
    for (OptionPage* page : std::as_const(pages_)) {
        connect(page, &OptionPage::changed, this, &TfrOption::optionChanged);
        connect(page, &OptionPage::quietlyChanged, this, &TfrOption::takeOptions);
    }
    connect(tsGeneral, &OptionGeneralPage::guideLinesChanged, this, &TfrOption::guideLinesChanged);
    connect(tsMergin, &OptionMarginPage::marginColorChanged, this, &TfrOption::marginColorChanged);
}

void TfrOption::buildButtons()
{
    const auto button = [this](const char* name, const QString& caption, int x) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 492, 80, 27);
        return b;
    };
    btOK = button("btOK", QStringLiteral("OK"), 184);
    btOK->setDefault(true);
    btCancel = button("btCancel", QStringLiteral("キャンセル"), 268);
    btOption = button("btOption", QStringLiteral("適用(&A)"), 352);
    btOption->setEnabled(false);
    connect(btOK, &QPushButton::clicked, this, &TfrOption::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrOption::btCancelClick);
    connect(btOption, &QPushButton::clicked, this, &TfrOption::btOptionClick);
}

void TfrOption::connectLinks()
{
    connect(tsVersion->ImageLogo, &ClickLabel::clicked, this, &TfrOption::ImageLogoClick);
    connect(tsVersion->ImagePay, &ClickLabel::clicked, this, &TfrOption::ImagePayClick);
    connect(tsKestrix->ImageKestrix, &ClickLabel::clicked, this, &TfrOption::ImageKestrixClick);
    connect(tsKestrix->btJEXregist, &QPushButton::clicked, this, &TfrOption::btJEXregistClick);
}

void TfrOption::openOnPage(const QString& pageName)
{
    for (int i = 0; i < pcOption->count(); ++i)
        if (pcOption->page(i)->objectName() == pageName)
            pcOption->setActivePage(pcOption->page(i));
    exec();
}

void TfrOption::optionChanged()
{
    takeOptions();
    btOption->setEnabled(true);
}

void TfrOption::takeOptions()
{
    for (const OptionPage* page : std::as_const(pages_))
        page->collect(options_);
}

TfrOption::RestorePoint TfrOption::current() const
{
    return {options_, tsMergin->panels()};
}

void TfrOption::showOptions(const ProgramOptions& options, const PlacementPanels& panels)
{
    const ProgramOptions values = options; // options may be the program's own, which showing changes
    for (OptionPage* page : std::as_const(pages_))
        page->show(values);
    tsMergin->showPanels(panels);
    takeOptions();
}

const PlacementPanels& TfrOption::panels() const
{
    return tsMergin->panels();
}

void TfrOption::bringDependentStateInLine()
{
    for (OptionPage* page : std::as_const(pages_))
        page->bringInLine();
    emit guideLinesChanged(tsGeneral->cbGuide->isChecked(), QColor::fromRgb(tsGeneral->stGuideColor->color()));
    emit marginColorChanged(QColor::fromRgb(tsMergin->stMerginColor->color()));
}

void TfrOption::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrOption::FormShow()
{
    takeOptions();
    restorePoint_ = current();
    btOption->setEnabled(false);
}

void TfrOption::btOptionClick()
{
    takeOptions();
    restorePoint_ = current();
    emit stayOnTopApplied(tsGeneral->cbStayOnTop->isChecked());
    btOption->setEnabled(false);
}

void TfrOption::btOKClick()
{
    emit composeRequested();
    accept();
}

void TfrOption::btCancelClick()
{
    ProgramOptions restored = restorePoint_.options;
    restored.services = options_.services; // not the dialog's to restore
    showOptions(restored, restorePoint_.panels);
    bringDependentStateInLine();
    emit composeRequested();
    QDialog::reject();
}

void TfrOption::reject()
{
    btCancelClick();
}

#include "moc_TfrOption.cpp"
