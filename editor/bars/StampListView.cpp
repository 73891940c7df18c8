#include "editor/bars/StampListView.h"

#include "editor/ui/BufferPicture.h"

#include <QMouseEvent>
#include <QPixmap>

namespace {
QIcon Thumbnail(const ImageBuffer& thumbnail)
{
    ImageBuffer picture = thumbnail;
    picture.ConvertTo(32);
    return QIcon(QPixmap::fromImage(BufferPicture::Part(picture, QRect(0, 0, picture.Width(), picture.Height()))));
}
} // namespace

StampListView::StampListView(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName("ctl1074");
    setViewMode(QListView::IconMode);
    setIconSize(QSize(StampLibrary::kThumbnailWidth, StampLibrary::kThumbnailHeight));
    setGridSize(QSize(kSpacingX, kSpacingY));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
}

void StampListView::Fill(const std::string& moduleFolder)
{
    library_ = LoadStampLibrary(moduleFolder);
    setUpdatesEnabled(false);
    clear();
    for (const ImageBuffer& thumbnail : library_.thumbnails)
        addItem(new QListWidgetItem(Thumbnail(thumbnail), QString()));
    setUpdatesEnabled(true);
    setFocus();
    if (count() > 0)
        setCurrentRow(0);
    update();
}

int StampListView::SelectedIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

void StampListView::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit Clicked();
}
