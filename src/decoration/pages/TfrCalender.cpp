#include "decoration/pages/TfrCalender.h"

#include "decoration/CalendarSettingsFile.h"
#include "decoration/KeySafeColor.h"
#include "foundation/Cp932.h"
#include "foundation/Prompts.h"

#include <QtCore/QSignalBlocker>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFrame>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

#include <iostream>

namespace {

template <typename Control> Control* named(Control* control, const char* name, QRect geometry)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    return control;
}

QFrame* swatch(QWidget* parent, const char* name, QRect geometry)
{
    auto* frame = named(new QFrame(parent), name, geometry);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    return frame;
}

void paintSwatch(QFrame* frame, QRgb color)
{
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(color));
    frame->setPalette(palette);
}

QComboBox* choice(QWidget* parent, const char* name, QRect geometry, const QString& pattern, int count)
{
    auto* box = named(new QComboBox(parent), name, geometry);
    for (int i = 1; i <= count; ++i)
        box->addItem(pattern.arg(i));
    return box;
}

// A choice with nothing selected counts as the first.
int chosen(const QComboBox* box)
{
    return std::max(box->currentIndex(), 0) + 1;
}

// Out-of-range values from a hand-edited file leave the choice empty.
void choose(QComboBox* box, int value)
{
    box->setCurrentIndex(value >= 1 && value <= box->count() ? value - 1 : -1);
}

const char* const swatchNames[7] = {"stSundayColor",   "stMondayColor", "stTuesdayColor", "stWednesdayColor",
                                    "stThursdayColor", "stFridayColor", "stSaturdayColor"};
const char* const buttonNames[7] = {"btChangeSundayColor",    "btChangeMondayColor",   "btChangeTuesdayColor",
                                    "btChangeWednesdayColor", "btChangeThursdayColor", "btChangeFridayColor",
                                    "btChangeSaturdayColor"};
const char16_t* const dayNames[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};

} // namespace

TfrCalender::TfrCalender(CalendarSettings& settings, Prompts& prompts, QString path, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), settings_(settings),
      prompts_(prompts), path_(std::move(path))
{
    setObjectName(QStringLiteral("frCalender"));
    setWindowTitle(QStringLiteral("カレンダーの設定"));
    setFixedSize(440, 524);
    buildWeekdayColors();
    buildNotations();
    buildHolidayEditor();
    buildButtons();
    connectControls();
    showSettings();
}

void TfrCalender::buildWeekdayColors()
{
    auto* group = named(new QGroupBox(QStringLiteral(" 曜日毎の色 "), this), "gbWeekdayColors", {8, 4, 424, 80});
    for (int i = 0; i < 7; ++i) {
        const int x = 10 + (i % 4) * 103;
        const int y = 20 + (i / 4) * 28;
        weekdaySwatches[size_t(i)] = swatch(group, swatchNames[i], {x, y + 2, 18, 18});
        weekdayButtons[size_t(i)] =
            named(new QPushButton(QString::fromUtf16(dayNames[i]) + QStringLiteral("曜日の色"), group), buttonNames[i],
                  {x + 22, y, 70, 24});
    }
}

void TfrCalender::buildNotations()
{
    auto* start = named(new QGroupBox(QStringLiteral(" 開始曜日 "), this), "gbStart", {8, 88, 124, 96});
    rbStartSun = named(new QRadioButton(QStringLiteral("日曜日"), start), "rbStartSun", {12, 24, 100, 20});
    rbStartMon = named(new QRadioButton(QStringLiteral("月曜日"), start), "rbStartMon", {12, 52, 100, 20});

    auto* title = named(new QGroupBox(QStringLiteral(" 年月の標記 "), this), "gbTitle", {140, 88, 292, 96});
    cbDrawYM = named(new QCheckBox(QStringLiteral("年月を表示する"), title), "cbDrawYM", {10, 18, 250, 18});
    rbMonJP =
        named(new QRadioButton(QStringLiteral("日本語表記 例: 2005年 10月"), title), "rbMonJP", {26, 38, 240, 18});
    rbMonEN =
        named(new QRadioButton(QStringLiteral("英語表記    例: October, 2005"), title), "rbMonEN", {26, 56, 240, 18});
    rbMonMA = named(new QRadioButton(QStringLiteral("数字標記    例: 2005/10"), title), "rbMonMA", {26, 74, 240, 18});

    // The check box stands in the group's title, as the row's own switch.
    auto* weekdays = named(new QGroupBox(this), "gbDate", {8, 192, 424, 48});
    cbDate = named(new QCheckBox(QStringLiteral(" 曜日の標記 "), this), "cbDate", {16, 186, 110, 18});
    rbDateJP = named(new QRadioButton(QStringLiteral("日本語表記: 日 月 火 水 木 金 土"), weekdays), "rbDateJP",
                     {10, 20, 196, 20});
    rbDateEN = named(new QRadioButton(QStringLiteral("英語表記: Su Mo Tu We Th Fr Sa"), weekdays), "rbDateEN",
                     {210, 20, 210, 20});
    cbDate->raise();
}

void TfrCalender::buildHolidayEditor()
{
    auto* group = named(new QGroupBox(QStringLiteral(" 祝日・記念日 "), this), "gbHoliday", {8, 246, 424, 232});
    cbCal01 = named(new QComboBox(group), "cbCal01", {10, 20, 58, 22});
    cbCal01->addItems({QStringLiteral("毎年"), QStringLiteral("毎月")});
    cbCal02 = choice(group, "cbCal02", {72, 20, 58, 22}, QStringLiteral("%1月"), 12);
    rbCal04 = named(new QRadioButton(QStringLiteral("日付指定"), group), "rbCal04", {136, 20, 80, 22});
    rbCal03 = named(new QRadioButton(QStringLiteral("曜日指定"), group), "rbCal03", {136, 46, 80, 22});
    cbCal04_01 = choice(group, "cbCal04_01", {218, 20, 60, 22}, QStringLiteral("%1日"), 31);
    cbCal03_01 = named(new QComboBox(group), "cbCal03_01", {218, 46, 60, 22});
    cbCal03_01->addItems({QStringLiteral("第一"), QStringLiteral("第二"), QStringLiteral("第三"),
                          QStringLiteral("第四"), QStringLiteral("第五")});
    cbCal03_02 = named(new QComboBox(group), "cbCal03_02", {282, 46, 60, 22});
    for (const char16_t* day : dayNames)
        cbCal03_02->addItem(QString::fromUtf16(day) + QStringLiteral("曜"));

    auto* nameLabel = new QLabel(QStringLiteral("名前"), group);
    nameLabel->move(10, 78);
    edDateName = named(new QLineEdit(group), "edDateName", {44, 74, 150, 22});
    stDateColor = swatch(group, "stDateColor", {204, 76, 18, 18});
    btChangeDateColor =
        named(new QPushButton(QStringLiteral("指定日の色"), group), "btChangeDateColor", {226, 73, 84, 24});
    cbReturn = named(new QCheckBox(QStringLiteral("指定日が日曜日の場合は月曜日に振り替える"), group), "cbReturn",
                     {10, 102, 300, 20});
    btAddDate = named(new QPushButton(QStringLiteral("追加"), group), "btAddDate", {350, 20, 64, 24});
    btRepDate = named(new QPushButton(QStringLiteral("置換"), group), "btRepDate", {350, 50, 64, 24});
    btDelDate = named(new QPushButton(QStringLiteral("削除"), group), "btDelDate", {350, 80, 64, 24});
    lbDateList = named(new QListWidget(group), "lbDateList", {10, 128, 404, 94});

    cbCal01->setCurrentIndex(0);
    cbCal02->setCurrentIndex(0);
    cbCal04_01->setCurrentIndex(0);
    cbCal03_01->setCurrentIndex(0);
    cbCal03_02->setCurrentIndex(0);
    rbCal04->setChecked(true);
    cbReturn->setChecked(true);
    paintSwatch(stDateColor, dateColor_);
    cbCal03_04Click();
}

void TfrCalender::buildButtons()
{
    btOK = named(new QPushButton(QStringLiteral("OK"), this), "btOK", {172, 488, 84, 28});
    btCancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "btCancel", {260, 488, 84, 28});
    btOption = named(new QPushButton(QStringLiteral("適用(&A)"), this), "btOption", {348, 488, 84, 28});
    btOption->setEnabled(false);
    btOK->setDefault(true);
}

void TfrCalender::connectControls()
{
    for (int i = 0; i < 7; ++i)
        connect(weekdayButtons[size_t(i)], &QPushButton::clicked, this,
                [this, i] { pickColor(weekdaySwatches[size_t(i)], &settings_.weekdayColors[size_t(i)]); });
    connect(btChangeDateColor, &QPushButton::clicked, this, [this] { pickColor(stDateColor, &dateColor_); });
    // The first-day and notation radios change the calendar but do not enable "適用(&A)".
    connect(rbStartMon, &QRadioButton::toggled, this, [this](bool on) { settings_.weekStartsMonday = on; });
    const auto titleChoice = [this](QRadioButton* button, TitleNotation notation) {
        connect(button, &QRadioButton::toggled, this, [this, notation](bool on) {
            if (on)
                settings_.title = notation;
        });
    };
    titleChoice(rbMonJP, TitleNotation::Japanese);
    titleChoice(rbMonEN, TitleNotation::English);
    titleChoice(rbMonMA, TitleNotation::Numeric);
    connect(rbDateEN, &QRadioButton::toggled, this,
            [this](bool on) { settings_.weekdays = on ? WeekdayNotation::English : WeekdayNotation::Japanese; });
    connect(cbDrawYM, &QCheckBox::clicked, this, [this](bool on) {
        settings_.showTitle = on;
        updateNotationEnabling();
        changed();
    });
    connect(cbDate, &QCheckBox::clicked, this, [this](bool on) {
        settings_.showWeekdays = on;
        updateNotationEnabling();
        changed();
    });
    connect(cbCal01, &QComboBox::currentIndexChanged, this, &TfrCalender::cbCal01Change);
    connect(rbCal03, &QRadioButton::toggled, this, &TfrCalender::cbCal03_04Click);
    connect(btAddDate, &QPushButton::clicked, this, &TfrCalender::AddDateClick);
    connect(btRepDate, &QPushButton::clicked, this, &TfrCalender::RepDateClick);
    connect(btDelDate, &QPushButton::clicked, this, &TfrCalender::DelDateClick);
    connect(lbDateList, &QListWidget::itemClicked, this, &TfrCalender::lbDateListClick);
    // The arrow keys select as a click does, so "置換" and "削除" act on the entry the editor shows.
    connect(lbDateList, &QListWidget::currentRowChanged, this, &TfrCalender::lbDateListClick);
    connect(btOption, &QPushButton::clicked, this, [this] { Save(); });
    connect(btOK, &QPushButton::clicked, this, &TfrCalender::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrCalender::btCancelClick);
}

void TfrCalender::Load()
{
    settings_ = CalendarSettingsFile::load(path_);
    showSettings();
    btOption->setEnabled(false);
}

bool TfrCalender::Save()
{
    if (!CalendarSettingsFile::save(settings_, path_)) {
        std::cerr << "pictorel: cannot write " << path_.toStdString() << "\n";
        prompts_.message(MessageKind::Error, QStringLiteral("カレンダーの設定を保存できませんでした。\n%1").arg(path_));
        return false;
    }
    btOption->setEnabled(false);
    return true;
}

void TfrCalender::showSettings()
{
    for (int i = 0; i < 7; ++i)
        paintSwatch(weekdaySwatches[size_t(i)], settings_.weekdayColors[size_t(i)]);
    // Settings first, since every toggle below writes back what it shows.
    const CalendarSettings shown = settings_;
    (shown.weekStartsMonday ? rbStartMon : rbStartSun)->setChecked(true);
    cbDrawYM->setChecked(shown.showTitle);
    (shown.title == TitleNotation::Japanese  ? rbMonJP
     : shown.title == TitleNotation::English ? rbMonEN
                                             : rbMonMA)
        ->setChecked(true);
    cbDate->setChecked(shown.showWeekdays);
    (shown.weekdays == WeekdayNotation::Japanese ? rbDateJP : rbDateEN)->setChecked(true);
    settings_ = shown;
    showList();
    updateNotationEnabling();
}

void TfrCalender::showList(int selected)
{
    const QSignalBlocker quiet(lbDateList); // refilling the list is no selection by the user
    lbDateList->clear();
    lbDateList->addItems(settings_.holidays.displayTexts());
    lbDateList->setCurrentRow(selected);
}

void TfrCalender::updateNotationEnabling()
{
    for (QRadioButton* b : {rbMonJP, rbMonEN, rbMonMA})
        b->setEnabled(cbDrawYM->isChecked());
    for (QRadioButton* b : {rbDateJP, rbDateEN})
        b->setEnabled(cbDate->isChecked());
}

void TfrCalender::cbCal01Change()
{
    cbCal02->setEnabled(cbCal01->currentIndex() <= 0);
}

void TfrCalender::cbCal03_04Click()
{
    const bool byWeekday = rbCal03->isChecked();
    cbCal04_01->setEnabled(!byWeekday);
    cbCal03_01->setEnabled(byWeekday);
    cbCal03_02->setEnabled(byWeekday);
}

void TfrCalender::pickColor(QFrame* frame, QRgb* target)
{
    std::optional<QColor> picked = prompts_.chooseColor(QColor::fromRgb(*target));
    if (!picked)
        return;
    const QRgb color = keySafeColor(*picked);
    *target = color;
    paintSwatch(frame, color);
    changed();
}

DayData TfrCalender::entryFromControls() const
{
    DayData entry;
    entry.everyYear = cbCal01->currentIndex() <= 0;
    entry.month = chosen(cbCal02);
    entry.dateType = !rbCal03->isChecked();
    entry.day = chosen(cbCal04_01);
    entry.weekNumber = chosen(cbCal03_01);
    entry.weekday = chosen(cbCal03_02);
    entry.name = edDateName->text();
    entry.color = dateColor_;
    entry.moveToMonday = cbReturn->isChecked();
    return entry;
}

bool TfrCalender::nameGiven()
{
    if (edDateName->text().isEmpty()) {
        prompts_.message(MessageKind::Error, QStringLiteral("指定日の名前を入力してください"));
        return false;
    }
    // Calender.ini is Windows Japanese text: a character it cannot hold would come back as "?".
    if (const QString missing = Cp932::unencodable(edDateName->text()); !missing.isEmpty()) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("指定日の名前に保存できない文字（%1）が含まれています。").arg(missing));
        return false;
    }
    return true;
}

void TfrCalender::addEntry(const DayData& entry)
{
    settings_.holidays.add(entry);
    showList();
    changed();
}

void TfrCalender::AddDateClick()
{
    if (!nameGiven())
        return;
    if (settings_.holidays.isFull()) {
        prompts_.message(
            MessageKind::Error,
            QStringLiteral("指定日の一覧がいっぱいです。登録できるのは%1件までです。").arg(HolidayList::Capacity));
        return;
    }
    addEntry(entryFromControls());
}

void TfrCalender::RepDateClick()
{
    const int selected = lbDateList->currentRow();
    if (selected < 0 || selected >= settings_.holidays.count() || !nameGiven())
        return;
    settings_.holidays.remove(selected);
    addEntry(entryFromControls());
}

void TfrCalender::DelDateClick()
{
    if (!settings_.holidays.remove(lbDateList->currentRow()))
        return;
    showList();
    changed();
}

void TfrCalender::lbDateListClick()
{
    const int selected = lbDateList->currentRow();
    if (selected < 0 || selected >= settings_.holidays.count())
        return;
    const DayData& e = settings_.holidays.at(selected);
    cbCal01->setCurrentIndex(e.everyYear ? 0 : 1);
    choose(cbCal02, e.month);
    (e.dateType ? rbCal04 : rbCal03)->setChecked(true);
    choose(cbCal04_01, e.day);
    choose(cbCal03_01, e.weekNumber);
    choose(cbCal03_02, e.weekday);
    edDateName->setText(e.name);
    dateColor_ = e.color;
    paintSwatch(stDateColor, e.color);
    cbReturn->setChecked(e.moveToMonday);
    cbCal01Change();
    cbCal03_04Click();
}

void TfrCalender::btOKClick()
{
    if (Save())
        accept();
}

void TfrCalender::btCancelClick()
{
    reject();
}

void TfrCalender::reject()
{
    Load();
    QDialog::reject();
}

void TfrCalender::changed()
{
    btOption->setEnabled(true);
}

#include "moc_TfrCalender.cpp"
