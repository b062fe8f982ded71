#pragma once
// "カレンダーの設定": weekday colours, the first weekday, the title and weekday-row notations and
// the holiday list. Edits act on the program's calendar settings at once; "適用(&A)" and "OK"
// write "Calender.ini", "キャンセル" reads it back.
#include "decoration/CalendarSettings.h"

#include <QtWidgets/QDialog>

#include <array>

class Prompts;
class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class TfrCalender : public QDialog
{
    Q_OBJECT
  public:
    TfrCalender(CalendarSettings& settings, Prompts& prompts, QString path, QWidget* parent = nullptr);

    // Reads the file into the settings and shows them; "適用(&A)" is off afterwards.
    void Load();
    // Writes the settings; false (after one error box naming the file) when the file could not be written.
    bool Save();
    const QString& path() const { return path_; }

    std::array<QFrame*, 7> weekdaySwatches; // stSundayColor ... stSaturdayColor
    std::array<QPushButton*, 7> weekdayButtons;
    QRadioButton* rbStartSun;
    QRadioButton* rbStartMon;
    QCheckBox* cbDrawYM;
    QRadioButton* rbMonJP;
    QRadioButton* rbMonEN;
    QRadioButton* rbMonMA;
    QCheckBox* cbDate;
    QRadioButton* rbDateJP;
    QRadioButton* rbDateEN;
    QComboBox* cbCal01;
    QComboBox* cbCal02;
    QRadioButton* rbCal04; // "日付指定"
    QRadioButton* rbCal03; // "曜日指定"
    QComboBox* cbCal04_01;
    QComboBox* cbCal03_01;
    QComboBox* cbCal03_02;
    QLineEdit* edDateName;
    QFrame* stDateColor;
    QPushButton* btChangeDateColor;
    QCheckBox* cbReturn;
    QPushButton* btAddDate;
    QPushButton* btRepDate;
    QPushButton* btDelDate;
    QListWidget* lbDateList;
    QPushButton* btOK;
    QPushButton* btCancel;
    QPushButton* btOption;

    void AddDateClick();
    void RepDateClick();
    void DelDateClick();
    void lbDateListClick();
    void btOKClick();
    void btCancelClick();

  public slots:
    // Esc, like "キャンセル", puts back what was last saved.
    void reject() override;

  private:
    void buildWeekdayColors();
    void buildNotations();
    void buildHolidayEditor();
    void buildButtons();
    void connectControls();
    void showSettings();
    void showList(int selected = -1);
    void updateNotationEnabling();
    void cbCal01Change();
    void cbCal03_04Click();
    void pickColor(QFrame* swatch, QRgb* target);
    DayData entryFromControls() const;
    bool nameGiven();
    void addEntry(const DayData& entry);
    void changed();

    CalendarSettings& settings_;
    Prompts& prompts_;
    QString path_;
    QRgb dateColor_ = 0xffff0000;
};
