#include "widgets/WrappedCaptionDelegate.h"

#include <QtGui/QPainter>
#include <QtGui/QTextOption>
#include <QtWidgets/QApplication>
#include <QtWidgets/QListView>

namespace {

constexpr int captionGap = 2; // between the picture and its caption

} // namespace

QSize WrappedCaptionDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (const auto* view = qobject_cast<const QListView*>(option.widget); view && view->gridSize().isValid())
        return view->gridSize() - QSize(2, 2);
    return QStyledItemDelegate::sizeHint(option, index);
}

void WrappedCaptionDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    QStyleOptionViewItem picture(option);
    initStyleOption(&picture, index);
    const QString caption = picture.text;
    picture.text.clear();
    picture.displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &picture, painter, widget);

    const QRect pictureArea = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &picture, widget);
    QRect captionArea = option.rect;
    captionArea.setTop(pictureArea.bottom() + 1 + captionGap);
    QTextOption wrapping(Qt::AlignHCenter | Qt::AlignTop);
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    painter->save();
    painter->setFont(picture.font);
    painter->setPen(picture.palette.color(option.state.testFlag(QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                        : QPalette::Text));
    painter->drawText(captionArea, caption, wrapping);
    painter->restore();
}

#include "moc_WrappedCaptionDelegate.cpp"
