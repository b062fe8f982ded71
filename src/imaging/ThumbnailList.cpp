#include "ThumbnailList.h"

#include "ImageFolder.h"
#include "ThumbnailLoader.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtGui/QPainter>

ThumbnailList::ThumbnailList(QWidget* parent)
    : QListWidget(parent), loader_(new ThumbnailLoader(this)), extensions_(ImageFolder::defaultExtensions())
{
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    setGridSize(QSize(kThumbnailSize + 24, kThumbnailSize + 28));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(loader_, &ThumbnailLoader::thumbnailReady, this, &ThumbnailList::showThumbnail);
    connect(this, &QListWidget::itemClicked, this, &ThumbnailList::itemClickedAt);
}

void ThumbnailList::setFilePath(const QString& folder)
{
    folder_ = folder;
}

QStringList ThumbnailList::getFiles()
{
    loader_->cancel();
    clear();
    selected_.clear();
    files_ = ImageFolder::list(folder_, extensions_);
    QStringList paths;
    const QDir dir(folder_);
    QPixmap placeholder(kThumbnailSize, kThumbnailSize);
    placeholder.fill(Qt::lightGray);
    for (const QString& name : files_) {
        auto* item = new QListWidgetItem(QIcon(placeholder), name, this);
        item->setToolTip(name);
        paths.append(dir.filePath(name));
    }
    loader_->load(paths, kThumbnailSize);
    return files_;
}

bool ThumbnailList::waitForThumbnails(int msecs)
{
    const bool done = loader_->waitForDone(msecs);
    QCoreApplication::processEvents();
    return done;
}

void ThumbnailList::showThumbnail(int index, const QImage& thumbnail)
{
    QListWidgetItem* row = item(index);
    if (!row || thumbnail.isNull())
        return;
    // Centred on a square so every cell lines up whatever the picture's proportions.
    QPixmap cell(kThumbnailSize, kThumbnailSize);
    cell.fill(Qt::transparent);
    QPainter painter(&cell);
    painter.drawImage(QPoint((kThumbnailSize - thumbnail.width()) / 2, (kThumbnailSize - thumbnail.height()) / 2),
                      thumbnail);
    painter.end();
    row->setIcon(QIcon(cell));
    row->setData(Qt::UserRole, true);
}

void ThumbnailList::itemClickedAt(QListWidgetItem* clicked)
{
    if (!clicked)
        return;
    selected_ = clicked->text();
    emit fileSelected(selected_);
}
