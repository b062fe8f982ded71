#include "decoration/pages/CalendarPage.h"

#include "decoration/KeySafeColor.h"
#include "decoration/pages/TfrCalender.h"
#include "foundation/Prompts.h"
#include "imaging/drawing/TextRenderer.h"
#include "widgets/ImageDisplay.h"
#include "widgets/NumericField.h"

#include <QtCore/QDate>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <algorithm>

namespace {

constexpr NumericRule yearRule{1900, 2100};
constexpr NumericRule monthRule{1, 12};
constexpr NumericRule spaceRule{1, 100};
constexpr int defaultSpace = 15;

void label(const QString& text, QWidget* parent, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->move(x, y);
}

int clamped(const NumericField* field)
{
    return std::clamp(field->value(), field->rule().minimum(), field->rule().maximum());
}

} // namespace

CalendarPage::CalendarPage(DrawingLayers& layers, Prompts& prompts, std::function<QSize()> canvasSize, QWidget* parent)
    : QWidget(parent), prompts_(prompts), canvasSize_(std::move(canvasSize)),
      tool_(
          layers, [this] { return calendar_; }, canvasSize_)
{
    setObjectName(QStringLiteral("tsCalender"));
    build();
    for (NumericField* field : {csYear, csMonth, csCalHSpace, csCalVSpace})
        connect(field, &QLineEdit::textChanged, this, [this] { btPrevCalendarClick(); });
    connect(btChangeCalendarFont, &QPushButton::clicked, this, [this] { btChangeCalendarFontClick(); });
    connect(btCalDetail, &QPushButton::clicked, this, [this] { btCalDetailClick(); });
}

void CalendarPage::build()
{
    auto* group = new QGroupBox(this);
    group->setGeometry(4, 4, 209, 168);
    csYear = new NumericField(yearRule, "csYear", "udYear", group);
    csYear->place({10, 14, 52, 22});
    label(QStringLiteral("年"), group, 82, 18);
    csMonth = new NumericField(monthRule, "csMonth", "udMonth", group);
    csMonth->place({104, 14, 34, 22});
    label(QStringLiteral("月"), group, 158, 18);
    label(QStringLiteral("左右の文字の間隔"), group, 10, 48);
    csCalHSpace = new NumericField(spaceRule, "csCalHSpace", "udCalHSpace", group);
    csCalHSpace->place({130, 44, 40, 22});
    label(QStringLiteral("上下の文字の間隔"), group, 10, 76);
    csCalVSpace = new NumericField(spaceRule, "csCalVSpace", "udCalVSpace", group);
    csCalVSpace->place({130, 72, 40, 22});
    const QDate today = QDate::currentDate();
    csYear->setValue(today.year());
    csMonth->setValue(today.month());
    csCalHSpace->setValue(defaultSpace);
    csCalVSpace->setValue(defaultSpace);
    btChangeCalendarFont = new QPushButton(QStringLiteral("フォントの変更"), group);
    btChangeCalendarFont->setObjectName(QStringLiteral("btChangeCalendarFont"));
    btChangeCalendarFont->setGeometry(10, 102, 189, 26);
    btCalDetail = new QPushButton(QStringLiteral("カレンダーの詳細設定"), group);
    btCalDetail->setObjectName(QStringLiteral("btCalDetail"));
    btCalDetail->setGeometry(10, 134, 189, 26);
    IkDispCalendar = new ImageDisplay(this);
    IkDispCalendar->setObjectName(QStringLiteral("IkDispCalendar"));
    IkDispCalendar->setGeometry(4, 178, 209, 250);
    IkDispCalendar->setBackColor(Qt::white);
}

CalendarRequest CalendarPage::request() const
{
    CalendarRequest r;
    r.year = clamped(csYear);
    r.month = clamped(csMonth);
    r.hSpace = clamped(csCalHSpace);
    r.vSpace = clamped(csCalVSpace);
    r.font = FontCalendar;
    r.canvas = canvasSize_();
    return r;
}

void CalendarPage::btPrevCalendarClick()
{
    // A failed redraw leaves no calendar, and the preview empty.
    calendar_ = CalendarRenderer::render(request(), settings_);
    IkDispCalendar->setImage(calendar_);
    emit calendarChanged(calendar_);
}

void CalendarPage::setCalendarFont(const QFont& font, QColor color)
{
    FontCalendar.name = font.family();
    FontCalendar.size = font.pointSize() > 0 ? font.pointSize() : std::max(1, font.pixelSize() * 72 / 96);
    FontCalendar.bold = font.bold();
    FontCalendar.italic = font.italic();
    FontCalendar.color = keySafeColor(color);
    btPrevCalendarClick();
}

void CalendarPage::btChangeCalendarFontClick()
{
    PrintAttributes attributes;
    attributes.fontName = FontCalendar.name;
    attributes.fontSize = FontCalendar.size;
    attributes.fontBold = FontCalendar.bold;
    attributes.fontItalic = FontCalendar.italic;
    QFont initial = TextRenderer::font(attributes);
    initial.setPointSize(FontCalendar.size);
    QColor color = QColor::fromRgb(FontCalendar.color);
    if (const std::optional<QFont> chosen = prompts_.chooseFont(initial, &color))
        setCalendarFont(*chosen, color);
}

void CalendarPage::btCalDetailClick()
{
    if (dialog_)
        dialog_->exec();
    btPrevCalendarClick(); // however the dialog was closed
}

void CalendarPage::setToToday()
{
    const QDate today = QDate::currentDate();
    csYear->setValue(today.year());
    csMonth->setValue(today.month());
    btPrevCalendarClick();
}

#include "moc_CalendarPage.cpp"
