#include "app/PageControl.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QToolButton>

PageControl::PageControl(QWidget* parent)
    : QWidget(parent), group_(new QButtonGroup(this)), stack_(new QStackedWidget(this))
{
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
        stack_->setCurrentIndex(index);
        emit pageChanged(stack_->currentWidget());
    });
}

void PageControl::addPage(QWidget* page, const QString& caption)
{
    auto* tab = new QToolButton(this);
    tab->setText(caption);
    tab->setCheckable(true);
    tab->setAutoRaise(true); // raised under the mouse
    // A clicked tab takes the focus, so a following Enter presses the tab, not "終了する".
    tab->setFocusPolicy(Qt::StrongFocus);
    tab->setObjectName(page->objectName() + QStringLiteral("Tab"));
    group_->addButton(tab, int(tabs_.size()));
    tabs_ << tab;
    stack_->addWidget(page);
    if (tabs_.size() == 1)
        tab->setChecked(true);
    layoutTabs();
}

void PageControl::setActivePage(QWidget* page)
{
    const int index = stack_->indexOf(page);
    if (index < 0)
        return;
    tabs_.at(index)->setChecked(true);
    if (index == stack_->currentIndex())
        return;
    stack_->setCurrentIndex(index);
    emit pageChanged(page);
}

QWidget* PageControl::activePage() const
{
    return stack_->currentWidget();
}

QString PageControl::activePageName() const
{
    const QWidget* page = activePage();
    return page ? page->objectName() : QString();
}

QStringList PageControl::captions() const
{
    QStringList result;
    for (const QToolButton* tab : tabs_)
        result << tab->text();
    return result;
}

int PageControl::count() const
{
    return stack_->count();
}

QWidget* PageControl::page(int index) const
{
    return stack_->widget(index);
}

void PageControl::resizeEvent(QResizeEvent*)
{
    layoutTabs();
}

void PageControl::layoutTabs()
{
    // Tabs flow left to right and wrap; the pages take the rest of the height.
    constexpr int rowHeight = 22;
    int x = 0;
    int y = 0;
    for (QToolButton* tab : tabs_) {
        const int w = tab->sizeHint().width();
        if (x > 0 && x + w > width()) {
            x = 0;
            y += rowHeight;
        }
        tab->setGeometry(x, y, w, rowHeight);
        x += w;
    }
    const int top = tabs_.isEmpty() ? 0 : y + rowHeight + 2;
    stack_->setGeometry(0, top, width(), std::max(0, height() - top));
}

#include "moc_PageControl.cpp"
