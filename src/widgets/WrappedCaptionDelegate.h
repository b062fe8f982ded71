#pragma once
// Draws the captions of a grid of pictures on as many lines as the cell holds, broken inside a
// word when it must be, so a file name such as "film_240x320.png" is shown whole, size included.
#include <QtWidgets/QStyledItemDelegate>

class WrappedCaptionDelegate : public QStyledItemDelegate
{
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The whole grid cell, so the caption has its room below the picture.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
