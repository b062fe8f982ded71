#include "widgets/WrappedCaptionDelegate.h"

#include <QtGui/QPainter>
#include <QtGui/QTextOption>
#include <QtWidgets/QApplication>
#include <QtWidgets/QListView>
#include <QtWidgets/QStyleOption>

namespace {

constexpr int captionGap = 2; // between the picture and its caption

// A name too long for one line breaks after an underscore or before its extension rather than
// anywhere: "film_" over "240x320.png", "cloud." over "png", so a frame's size stays in one piece.
// The marks added are zero-width spaces, which draw nothing.
QString breakableAtItsParts(QString name)
{
    const QChar mark(0x200B);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && dot + 1 < name.size())
        name.insert(dot + 1, mark);
    for (qsizetype at = name.indexOf(QLatin1Char('_')); at >= 0 && at + 1 < name.size();
         at = name.indexOf(QLatin1Char('_'), at + 2))
        name.insert(at + 1, mark);
    return name;
}

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
    const QString caption = breakableAtItsParts(picture.text);
    // The style draws the cell and the picture only: with a caption of its own it would also
    // highlight and frame the room of an empty one, a speck under the picture.
    picture.text.clear();
    picture.features &= ~QStyleOptionViewItem::HasDisplay;
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
    const QRect captionBounds =
        painter->boundingRect(QRectF(captionArea), caption, wrapping).toAlignedRect().adjusted(-1, 0, 1, 0) &
        captionArea;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group = !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
                                       : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                     : QPalette::Inactive;
    // A chosen name stands on the highlight, as the style would have put it.
    if (selected)
        painter->fillRect(captionBounds, picture.palette.brush(group, QPalette::Highlight));
    painter->setPen(picture.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(captionArea, caption, wrapping);
    painter->restore();
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = captionBounds;
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = picture.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

#include "moc_WrappedCaptionDelegate.cpp"
