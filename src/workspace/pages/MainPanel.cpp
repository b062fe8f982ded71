#include "workspace/pages/MainPanel.h"

#include "imaging/resampling/ReducedView.h"
#include "widgets/ImageDisplay.h"

#include <QtGui/QPalette>

namespace {

QWidget* guideLine(const char* name, QWidget* parent, QRect geometry)
{
    auto* line = new QWidget(parent);
    line->setObjectName(QLatin1String(name));
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Qt::black);
    line->setPalette(palette);
    return line;
}

} // namespace

MainPanel::MainPanel(ImageDisplay* display, QWidget* parent) : QFrame(parent), display_(display)
{
    setObjectName(QStringLiteral("MainPanel"));
    setFixedSize(OuterSize, OuterSize);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(2);
    QPalette border = palette();
    border.setColor(QPalette::WindowText, QColor(192, 192, 192));
    setPalette(border);

    view_ = new QWidget(this);
    view_->setObjectName(QStringLiteral("MainPanelView"));
    view_->setGeometry(2, 2, ViewSize, ViewSize);
    view_->setAutoFillBackground(true);
    QPalette hatch = view_->palette();
    hatch.setBrush(QPalette::Window, QBrush(Qt::gray, Qt::DiagCrossPattern));
    view_->setPalette(hatch);

    display_->setParent(view_);
    display_->setObjectName(QStringLiteral("IkDispMain"));
    GridV = guideLine("GridV", view_, {ViewSize / 2, 0, 1, ViewSize});
    GridH = guideLine("GridH", view_, {0, ViewSize / 2, ViewSize, 1});
    GridV->hide();
    GridH->hide();
}

void MainPanel::ResizeDisplay(int width, int height)
{
    const QSize canvas(width, height);
    const QSize shown = ReducedView::fittedSize(canvas, QSize(ViewSize, ViewSize));
    display_->setReducedView(canvas, shown);
    if (shown == canvas) {
        display_->setGeometry((OuterSize - width) / 2, (OuterSize - height) / 2, width, height);
        GridV->move(ViewSize / 2, 0);
        GridH->move(0, ViewSize / 2);
    } else {
        const QPoint at((ViewSize - shown.width()) / 2, (ViewSize - shown.height()) / 2);
        display_->setGeometry(QRect(at, shown));
        GridV->move(at.x() + shown.width() / 2, 0);
        GridH->move(0, at.y() + shown.height() / 2);
    }
    GridV->raise();
    GridH->raise();
}

void MainPanel::showGuides(bool visible, const QColor& color)
{
    for (QWidget* line : {GridV, GridH}) {
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, color);
        line->setPalette(palette);
        line->setVisible(visible);
    }
}

#include "moc_MainPanel.cpp"
