#include "widgets/ThumbnailList.h"

#include "imaging/codecs/ImageFolder.h"
#include "imaging/codecs/ThumbnailLoader.h"
#include "widgets/WrappedCaptionDelegate.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QPainter>

ThumbnailList::ThumbnailList(QWidget* parent)
    : QListWidget(parent), loader_(new ThumbnailLoader(this)), showTimer_(new QTimer(this)),
      extensions_(ImageFolder::defaultExtensions())
{
    QPixmap neutral(kThumbnailSize, kThumbnailSize);
    neutral.fill(Qt::lightGray);
    placeholder_ = QIcon(neutral);
    showTimer_->setSingleShot(true);
    showTimer_->setInterval(0);
    connect(showTimer_, &QTimer::timeout, this, [this] { showQueuedThumbnails(kSliceMilliseconds); });
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    setGridSize(QSize(kThumbnailSize + 24, kThumbnailSize + 28));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new WrappedCaptionDelegate(this)); // a name cut short would hide a frame's size
    connect(loader_, &ThumbnailLoader::thumbnailReady, this, &ThumbnailList::queueThumbnail);
    connect(this, &QListWidget::itemClicked, this, &ThumbnailList::itemClickedAt);
}

void ThumbnailList::setFilePath(const QString& folder)
{
    folder_ = folder;
}

QStringList ThumbnailList::getFiles()
{
    loader_->cancel();
    queued_.clear();
    clear();
    selected_.clear();
    files_ = ImageFolder::list(folder_, extensions_);
    QStringList paths;
    const QDir dir(folder_);
    // Files that cannot be decoded keep the neutral placeholder.
    setUpdatesEnabled(false);
    for (const QString& name : files_) {
        auto* item = new QListWidgetItem(placeholder_, name);
        item->setToolTip(name);
        addItem(item);
        paths.append(dir.filePath(name));
    }
    setUpdatesEnabled(true);
    loader_->load(paths, kThumbnailSize);
    return files_;
}

bool ThumbnailList::waitForThumbnails(int msecs)
{
    const bool done = loader_->waitForDone(msecs);
    QCoreApplication::processEvents();
    showQueuedThumbnails(-1);
    return done;
}

void ThumbnailList::queueThumbnail(int index, const QImage& thumbnail)
{
    queued_.append({index, thumbnail});
    if (!showTimer_->isActive())
        showTimer_->start();
}

void ThumbnailList::showQueuedThumbnails(int budgetMilliseconds)
{
    QElapsedTimer spent;
    spent.start();
    while (!queued_.isEmpty() && (budgetMilliseconds < 0 || spent.elapsed() < budgetMilliseconds)) {
        const auto [index, thumbnail] = queued_.takeFirst();
        showThumbnail(index, thumbnail);
    }
    // The rest after the window has had its turn.
    if (!queued_.isEmpty())
        showTimer_->start();
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

#include "moc_ThumbnailList.cpp"
