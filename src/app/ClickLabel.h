#pragma once
// A picture or caption that acts on a click of the left button: the placement panels, the link
// pictures. Shows the hand cursor.
#include <QtWidgets/QLabel>

class ClickLabel : public QLabel
{
    Q_OBJECT
  public:
    explicit ClickLabel(const char* name, QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
