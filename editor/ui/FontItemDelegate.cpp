#include "editor/ui/FontItemDelegate.h"

#include <QPainter>

FontItemDelegate::FontItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

QPixmap FontItemDelegate::Marker()
{
    // Two overlapping T's, the usual sign of an outline font.
    static const QPixmap marker = [] {
        QPixmap pixmap(kMarkerWidth, 12);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const auto drawT = [&painter](int x, int y, const QColor& colour) {
            painter.fillRect(x, y, 8, 2, colour);
            painter.fillRect(x + 3, y, 2, 9, colour);
        };
        drawT(0, 0, QColor(128, 128, 128));
        drawT(6, 3, QColor(0, 0, 160));
        return pixmap;
    }();
    return marker;
}

void FontItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect item = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(item, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    if (index.data(Qt::UserRole).toInt() & kTrueTypeBit)
        painter->drawPixmap(item.left() + 5, item.top() + 4, Marker());
    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid())
        painter->setFont(font.value<QFont>());
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect text = item.adjusted(5 + kMarkerWidth + 10, 0, 0, 0);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, index.data().toString());
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = item;
        focus.palette = option.palette;
        focus.state = option.state;
        option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}

QSize FontItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width() + 5 + kMarkerWidth + 10, kItemHeight);
}
