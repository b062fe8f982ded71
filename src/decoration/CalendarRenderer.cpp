#include "decoration/CalendarRenderer.h"

#include "decoration/DrawingLayers.h"
#include "foundation/Cp932.h"
#include "imaging/drawing/FontSubstitutes.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "imaging/drawing/TextRenderer.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Column of weekday k (1 = Sunday) in a week that starts on Sunday or on Monday.
int columnOf(int weekday, bool mondayFirst)
{
    if (!mondayFirst)
        return weekday - 1;
    return weekday == 1 ? 6 : weekday - 2;
}

// QDate counts Monday as 1 and Sunday as 7.
int weekdayOf(QDate date)
{
    return date.dayOfWeek() % 7 + 1;
}

bool endsRow(int weekday, bool mondayFirst)
{
    return weekday == (mondayFirst ? 1 : 7);
}

// The masks of the strings drawn with the current font. A redraw runs on every click of a spin
// field with the same font, so the day numbers and names are laid out by the font engine once.
class MaskCache
{
  public:
    const TextRenderer::Mask& mask(const PrintAttributes& a)
    {
        const QString font =
            QStringLiteral("%1|%2|%3|%4").arg(a.fontName).arg(a.fontSize).arg(a.fontBold).arg(a.fontItalic);
        if (font != font_ || masks_.size() > maxEntries) {
            masks_.clear();
            font_ = font;
        }
        auto it = masks_.find(a.text);
        if (it == masks_.end())
            it = masks_.emplace(a.text, TextRenderer::render(a)).first;
        return it->second;
    }

  private:
    static constexpr size_t maxEntries = 256;
    QString font_;
    std::unordered_map<QString, TextRenderer::Mask> masks_;
};

MaskCache& masks()
{
    static MaskCache cache;
    return cache;
}

// Sets every text pixel of the mask, its top-left at the text position plus the mask's origin,
// to the colour: aliased, transparent background, as the printer's text output draws it.
void stamp(QImage& surface, const TextRenderer::Mask& mask, QPoint at, QRgb color)
{
    const QPoint origin = at + mask.origin;
    const QRect visible = QRect(origin, mask.image.size()).intersected(surface.rect());
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const uchar* bits = mask.image.constScanLine(y - origin.y());
        auto* line = reinterpret_cast<QRgb*>(surface.scanLine(y));
        for (int x = visible.left(); x <= visible.right(); ++x)
            if (bits[x - origin.x()])
                line[x] = color | 0xff000000;
    }
}

} // namespace

QString CalendarRenderer::titleText(int year, int month, TitleNotation notation)
{
    static const char* const months[12] = {"January, ",   "Feburary, ", "March, ",    "April, ",
                                           "May, ",       "June, ",     "July, ",     "August, ",
                                           "September, ", "October, ",  "November, ", "December, "};
    switch (notation) {
    case TitleNotation::Japanese:
        return QStringLiteral("%1年 %2月").arg(year).arg(month);
    case TitleNotation::English:
        return QLatin1String(months[std::clamp(month, 1, 12) - 1]) + QString::number(year);
    case TitleNotation::Numeric:
        break;
    }
    return QString::number(year) + (month < 10 ? QStringLiteral("/0") : QStringLiteral("/")) + QString::number(month);
}

QString CalendarRenderer::weekdayName(int index, WeekdayNotation notation)
{
    static const char16_t* const japanese[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    static const char* const english[7] = {"Su", "Mo", "Tu", "We", "Th", "Fr", "Sa"};
    return notation == WeekdayNotation::Japanese ? QString::fromUtf16(japanese[index])
                                                 : QString::fromLatin1(english[index]);
}

int CalendarRenderer::estimatedWidth(const QString& text, int fontSize)
{
    return fontSize / 2 * int(Cp932::encode(text).size());
}

std::vector<CalendarText> CalendarRenderer::layout(const CalendarRequest& r, const CalendarSettings& s)
{
    std::vector<CalendarText> texts;
    const QDate first(r.year, r.month, 1);
    if (!first.isValid())
        return texts;
    const bool mondayFirst = s.weekStartsMonday;
    int y = 5;
    if (s.showTitle)
        y += r.vSpace;
    if (s.showWeekdays)
        y += r.vSpace;
    int row = 1;
    int week = 1;
    const int halfSize = r.font.size / 2;
    for (QDate date = first; date.month() == r.month; date = date.addDays(1)) {
        const int d = date.day();
        const int k = weekdayOf(date);
        const int x0 = d >= 10 ? 5 : 5 + halfSize;
        const QRgb color = s.holidays.HolidayColor(r.month, d, week, k, date).value_or(s.WeekdayColor(k));
        texts.push_back({QPoint(x0 + columnOf(k, mondayFirst) * r.hSpace, y), QString::number(d), color});
        if (endsRow(k, mondayFirst)) {
            y += r.vSpace;
            ++row;
            ++week;
        }
    }
    if (s.showWeekdays) {
        for (int i = 0; i < 7; ++i)
            texts.push_back({QPoint(5 + columnOf(i + 1, mondayFirst) * r.hSpace, y - r.vSpace * row),
                             weekdayName(i, s.weekdays), s.WeekdayColor(i + 1)});
        ++row;
    }
    if (s.showTitle) {
        const QString title = titleText(r.year, r.month, s.title);
        const int x = (6 * r.hSpace - estimatedWidth(title, r.font.size)) / 2;
        texts.push_back({QPoint(x, y - r.vSpace * row), title, r.font.color});
    }
    return texts;
}

QImage CalendarRenderer::render(const CalendarRequest& r, const CalendarSettings& s)
{
    if (r.canvas.isEmpty())
        return {};
    QImage surface(r.canvas, QImage::Format_RGB32);
    if (surface.isNull())
        return {};
    surface.fill(LayerKeyColor);
    PrintAttributes a;
    a.fontName = FontSubstitutes::forNumberGrid(r.font.name); // the columns are spaced for half-em digits
    a.fontSize = std::clamp(r.font.size, 1, 1000);
    a.fontBold = r.font.bold;
    a.fontItalic = r.font.italic;
    a.textAngle = 0;
    a.textTransparent = true;
    for (const CalendarText& t : layout(r, s)) {
        a.text = t.text;
        stamp(surface, masks().mask(a), t.at, t.color);
    }
    return ImagePrinter::getImageFromHdc(surface, r.canvas.width(), r.canvas.height(), 24);
}
