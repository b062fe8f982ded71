#pragma once
// A page control whose tabs wrap onto several rows and light up under the mouse.
#include <QtWidgets/QWidget>

class QButtonGroup;
class QStackedWidget;
class QToolButton;

class PageControl : public QWidget
{
    Q_OBJECT
  public:
    explicit PageControl(QWidget* parent = nullptr);

    // The page keeps its objectName; the canvas tools choose their behaviour by it.
    void addPage(QWidget* page, const QString& caption);
    void setActivePage(QWidget* page);
    QWidget* activePage() const;
    QString activePageName() const;
    QStringList captions() const;
    int count() const;
    QWidget* page(int index) const;

  signals:
    // The page showing changed, by a tab click or setActivePage.
    void pageChanged(QWidget* page);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layoutTabs();

    QList<QToolButton*> tabs_;
    QButtonGroup* group_;
    QStackedWidget* stack_;
};
