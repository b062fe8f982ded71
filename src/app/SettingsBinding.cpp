#include "app/SettingsBinding.h"

#include "app/TfrMain.h"
#include "app/TfrOption.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "decoration/pages/CalendarPage.h"
#include "decoration/pages/ColorSwatch.h"
#include "decoration/pages/PenPage.h"
#include "decoration/pages/TextPage.h"
#include "foundation/Prompts.h"
#include "workbench/Workbench.h"
#include "workspace/pages/TfrView.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

#include <cstdio>

namespace {

int numberIn(const QLineEdit* field, int fallback)
{
    return NumericRule::read(field->text()).value_or(fallback);
}

qint32 valueOf(const ColorSwatch* swatch)
{
    return ColorValue::fromColor(QColor::fromRgb(swatch->color()));
}

void show(ColorSwatch* swatch, qint32 value)
{
    swatch->setColor(ColorValue::toColor(value).rgb());
}

PenLook penOf(const PenPage* page)
{
    return {page->csLineWidth->value(), valueOf(page->stLineColor), valueOf(page->stFillColor),
            page->cbCheckFill->isChecked()};
}

void showPen(PenPage* page, const PenLook& pen)
{
    page->csLineWidth->setValue(pen.lineWidth);
    show(page->stLineColor, pen.lineColor);
    show(page->stFillColor, pen.fillColor);
    page->cbCheckFill->setChecked(pen.checkFill);
    page->cbCheckFillClick();
}

TextToolSettings textOf(const TextPage* page)
{
    TextToolSettings t;
    t.direction = page->cbTextDirection->currentText();
    t.angle = page->cbTextAngle->currentText();
    t.shadowPosition = page->cbShadowPos->currentText();
    t.shadowDistance = page->csShadowDistance->value();
    t.fontColor = valueOf(page->stFontColor);
    t.shadowColor = valueOf(page->stShadowColor);
    t.shadow = page->cbTextShadow->isChecked();
    t.fontName = page->textFont().name;
    t.fontSize = page->textFont().size;
    return t;
}

// The boxes take typed text; setting their text runs no change handling. The preview is redrawn
// once at the end, as the changed fields would have it.
void showText(TextPage* page, const TextToolSettings& t)
{
    page->cbTextDirection->setEditText(t.direction);
    page->cbTextAngle->setEditText(t.angle);
    page->cbShadowPos->setEditText(t.shadowPosition);
    page->csShadowDistance->setValue(t.shadowDistance);
    show(page->stFontColor, t.fontColor);
    show(page->stShadowColor, t.shadowColor);
    page->cbTextShadow->setChecked(t.shadow);
    page->cbTextShadowClick();
    TextFont font = page->textFont();
    font.name = t.fontName;
    font.size = t.fontSize;
    page->setTextFont(font);
}

CalendarLook calendarOf(const CalendarPage* page)
{
    const CalendarFont& font = page->FontCalendar;
    return {page->csCalHSpace->value(), page->csCalVSpace->value(), ColorValue::fromColor(QColor::fromRgb(font.color)),
            font.name, font.size};
}

// The spacing fields redraw the calendar preview as they change.
void showCalendar(CalendarPage* page, const CalendarLook& c)
{
    page->csCalHSpace->setValue(c.horizontalSpace);
    page->csCalVSpace->setValue(c.verticalSpace);
    CalendarFont& font = page->FontCalendar;
    font.name = c.fontName;
    font.size = c.fontSize;
    font.color = ColorValue::toColor(c.fontColor).rgb();
    page->btPrevCalendarClick();
}

} // namespace

void SettingsBinding::setWindows(TfrMain* main, TfrView* view, TfrOption* options)
{
    main_ = main;
    view_ = view;
    options_ = options;
    // The main window keeps its size and is on the screen when it is placed, so it is placed by
    // its frame, as the desktop shows a window. Qt keeps a frame position only until a window is
    // resized or while it is hidden, so the sub-window (which follows the picture's size) and the
    // options dialog (hidden until it is opened) are placed by their own area; a frame would
    // creep at every start.
    mainPlace_ = std::make_unique<WindowPlacement>(main, WindowPlacement::Anchor::Frame);
    viewPlace_ = std::make_unique<WindowPlacement>(view, WindowPlacement::Anchor::ClientArea);
    optionsPlace_ = std::make_unique<WindowPlacement>(options, WindowPlacement::Anchor::ClientArea);
}

StoredSettings SettingsBinding::gather() const
{
    StoredSettings s;
    s.mainWindow = mainPlace_->current();
    s.subWindow = viewPlace_->current();
    s.optionsDialog = optionsPlace_->current();
    const ModelSelectPage* page = main_->tsSelectMP;
    const TModelEntry& target = workbench_.targetModel;
    s.carrier = page->carrierToKeep();
    s.phone = page->phoneToKeep();
    s.mpWidth = numberIn(page->edMpWidth, target.Width);
    s.mpHeight = numberIn(page->edMpHeight, target.Height);
    s.mpCol = numberIn(page->edMpCol, target.ColorBits);
    s.mpFS = numberIn(page->csFS, page->sizeLimit());
    s.loadFolder = workbench_.loader.lastLoadFolder();
    s.saveFolder = workbench_.saver.lastSaveFolder();
    if (s.loadFolder.isEmpty())
        s.loadFolder = workbench_.folders.pictureFolder();
    if (s.saveFolder.isEmpty())
        s.saveFolder = workbench_.folders.pictureFolder();
    s.pen = penOf(main_->tsPen);
    s.text = textOf(main_->tsText);
    s.calendar = calendarOf(main_->tsCalender);
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
    mainPlace_->place(s.mainWindow);
    viewPlace_->place(s.subWindow);
    optionsPlace_->place(s.optionsDialog);
    applyModel(s);
    workbench_.loader.setLastLoadFolder(s.loadFolder);
    workbench_.saver.setLastSaveFolder(s.saveFolder);
    showPen(main_->tsPen, s.pen);
    showText(main_->tsText, s.text);
    showCalendar(main_->tsCalender, s.calendar);
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

void SettingsBinding::keepWindowsOnScreen()
{
    for (WindowPlacement* placement : {mainPlace_.get(), viewPlace_.get(), optionsPlace_.get()})
        if (placement)
            placement->keepOnScreen();
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
