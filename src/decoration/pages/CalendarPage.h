#pragma once
// The page "カレンダー": year and month, the spacings, the calendar font, the settings dialog and
// the preview. Every change redraws the calendar that the canvas tool places.
#include "decoration/CalendarRenderer.h"
#include "decoration/CalendarTool.h"

#include <QtWidgets/QWidget>

#include <functional>

class DrawingLayers;
class ImageDisplay;
class NumericField;
class Prompts;
class QPushButton;
class TfrCalender;

class CalendarPage : public QWidget
{
    Q_OBJECT
  public:
    CalendarPage(DrawingLayers& layers, Prompts& prompts, std::function<QSize()> canvasSize, QWidget* parent = nullptr);

    NumericField* csYear;
    NumericField* csMonth;
    NumericField* csCalHSpace;
    NumericField* csCalVSpace;
    QPushButton* btChangeCalendarFont;
    QPushButton* btCalDetail;
    ImageDisplay* IkDispCalendar;
    CalendarFont FontCalendar;

    CalendarSettings& settings() { return settings_; }
    // Places the calendar on the canvas while this page shows.
    CalendarTool& tool() { return tool_; }
    // The dialog that "カレンダーの詳細設定" shows; made later than the page.
    void setSettingsDialog(TfrCalender* dialog) { dialog_ = dialog; }

    void btPrevCalendarClick();
    void btChangeCalendarFontClick();
    void btCalDetailClick();
    // The font as chosen; a colour equal to the layer key colour becomes white. Redraws.
    void setCalendarFont(const QFont& font, QColor color);
    void setToToday();

    // The request the fields stand for, clamped into their ranges.
    CalendarRequest request() const;
    const QImage& calendarImage() const { return calendar_; }
    QSize CalendarSize() const { return calendar_.size(); }

  signals:
    void calendarChanged(const QImage& calendar);

  private:
    void build();

    Prompts& prompts_;
    std::function<QSize()> canvasSize_;
    CalendarSettings settings_;
    TfrCalender* dialog_ = nullptr;
    QImage calendar_;
    CalendarTool tool_;
};
