#include "editor/ui/FontListCombo.h"

#include "editor/ui/FontItemDelegate.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>

FontListCombo::FontListCombo(QWidget* parent)
    : QComboBox(parent)
{
    setItemDelegate(new FontItemDelegate(this));
}

void FontListCombo::Fill()
{
    clear();
    fonts_.clear();
    QStringList families = QFontDatabase::families();
    std::sort(families.begin(), families.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString& family : families) {
        QFont preview(family);
        preview.setPixelSize(16);
        preview.setWeight(QFont::Normal);
        fonts_.insert(family, preview);
        const int type = QFontDatabase::isSmoothlyScalable(family) ? FontItemDelegate::kTrueTypeBit : 0;
        addItem(family, type);
        setItemData(count() - 1, preview, Qt::FontRole);
    }
}

int FontListCombo::FindPrefix(const QString& text) const
{
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void FontListCombo::SelectFace(const QString& face)
{
    int index = face.isEmpty() ? -1 : FindPrefix(face);
    if (index < 0 && !face.isEmpty())
        index = findText(QFontInfo(QFont(face)).family(), Qt::MatchFixedString);
    setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
}
