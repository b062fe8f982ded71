#include "app/SettingsBinding.h"

#include "app/TfrMain.h"
#include "app/TfrOption.h"
#include "app/Workbench.h"
#include "catalogue/ModelSelectPage.h"
#include "foundation/Prompts.h"
#include "workspace/TfrView.h"

#include <QtWidgets/QLineEdit>

#include <cstdio>

namespace {

// The window's own area, without the frame the window manager adds: a frame's size is known
// only once the window is shown, so a frame position would drift from one run to the next.
WindowPlace placeOf(const QWidget* window)
{
    return {window->geometry().y(), window->geometry().x()};
}

// Positions are taken as stored, not compared with the screen.
void place(QWidget* window, WindowPlace where)
{
    window->setGeometry(where.left, where.top, window->width(), window->height());
}

int numberIn(const QLineEdit* field, int fallback)
{
    return NumericRule::read(field->text()).value_or(fallback);
}

} // namespace

void SettingsBinding::setWindows(TfrMain* main, TfrView* view, TfrOption* options)
{
    main_ = main;
    view_ = view;
    options_ = options;
}

StoredSettings SettingsBinding::gather() const
{
    StoredSettings s;
    s.mainWindow = placeOf(main_);
    s.subWindow = placeOf(view_);
    s.optionsDialog = placeOf(options_);
    const ModelSelectPage* page = main_->tsSelectMP;
    const TModelEntry& target = workbench_.targetModel;
    s.carrier = page->carrierText();
    s.phone = page->phoneText();
    s.mpWidth = numberIn(page->edMpWidth, target.Width);
    s.mpHeight = numberIn(page->edMpHeight, target.Height);
    s.mpCol = numberIn(page->edMpCol, target.ColorBits);
    s.mpFS = numberIn(page->csFS, page->sizeLimit());
    s.loadFolder = workbench_.loader.lastLoadFolder();
    s.saveFolder = workbench_.saver.lastSaveFolder();
    if (s.loadFolder.isEmpty())
        s.loadFolder = workbench_.programFolder;
    if (s.saveFolder.isEmpty())
        s.saveFolder = workbench_.programFolder;
    s.text = text_;
    s.options = workbench_.options;
    s.panels = options_->panels();
    return s;
}

void SettingsBinding::applyModel(const StoredSettings& s)
{
    ModelSelectPage* page = main_->tsSelectMP;
    page->setCarrierText(s.carrier);
    page->setPhoneText(s.phone);
    page->edMpWidth->setText(QString::number(s.mpWidth));
    page->edMpHeight->setText(QString::number(s.mpHeight));
    page->edMpCol->setText(QString::number(s.mpCol));
    page->csFS->setText(QString::number(s.mpFS));
}

void SettingsBinding::apply(const StoredSettings& s)
{
    place(main_, s.mainWindow);
    place(view_, s.subWindow);
    place(options_, s.optionsDialog);
    applyModel(s);
    workbench_.loader.setLastLoadFolder(s.loadFolder);
    workbench_.saver.setLastSaveFolder(s.saveFolder);
    text_ = s.text;
    workbench_.options.services = s.options.services;
    options_->showOptions(s.options, s.panels);
    options_->bringDependentStateInLine();
}

void SettingsBinding::LoadSettings()
{
    if (!main_ || !view_ || !options_)
        return;
    StoredSettings settings = gather();
    file_.LoadSettings(settings);
    apply(settings);
}

bool SettingsBinding::SaveSettings()
{
    if (!main_ || !view_ || !options_)
        return true;
    QString reason;
    if (file_.SaveSettings(gather(), &reason))
        return true;
    std::fprintf(stderr, "pictorel: %s: %s\n", qPrintable(file_.path()), qPrintable(reason));
    prompts_.message(MessageKind::Error, QStringLiteral("%1 に書き込めません").arg(file_.path()));
    return false;
}
