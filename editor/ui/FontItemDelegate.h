#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws a font list entry: the scalable-font marker, then the face name in its own face, 20 pixels
// high. The entry's font comes from the model's Qt::FontRole, its font type from Qt::UserRole.
class FontItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 20;
    static constexpr int kMarkerWidth = 15;
    // The font type bit that marks a TrueType (for us: scalable) font.
    static constexpr int kTrueTypeBit = 4;

    explicit FontItemDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static QPixmap Marker();
};
