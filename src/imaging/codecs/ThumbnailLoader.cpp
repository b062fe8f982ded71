#include "imaging/codecs/ThumbnailLoader.h"

#include "imaging/codecs/ImageFile.h"
#include "imaging/resampling/Resampler.h"

#include <QtCore/QMetaObject>

ThumbnailLoader::ThumbnailLoader(QObject* parent) : QObject(parent)
{
    // The machine's cores are shared; one decoder keeps the window responsive without crowding others out.
    pool_.setMaxThreadCount(1);
}

ThumbnailLoader::~ThumbnailLoader()
{
    cancel();
    pool_.waitForDone();
}

void ThumbnailLoader::cancel()
{
    ++batch_;
    pool_.clear();
}

void ThumbnailLoader::load(const QStringList& paths, int size)
{
    cancel();
    const int batch = batch_;
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        pool_.start([this, batch, i, path, size] {
            const QImage thumbnail = makeThumbnail(path, size);
            QMetaObject::invokeMethod(
                this, [this, batch, i, thumbnail] { deliver(batch, i, thumbnail); }, Qt::QueuedConnection);
        });
    }
}

void ThumbnailLoader::deliver(int batch, int index, const QImage& thumbnail)
{
    if (batch == batch_)
        emit thumbnailReady(index, thumbnail);
}

QImage ThumbnailLoader::makeThumbnail(const QString& path, int size)
{
    if (size <= 0)
        return {};
    // Through the program's own decoders and their limits, refused from the header when it is more
    // than a thumbnail list ever needs; a JPEG decodes straight to twice the thumbnail, which keeps
    // the final averaging clean.
    const DecodeBounds bounds{MaxSide, MaxPixels, QSize(2 * size, 2 * size)};
    const QImage picture = ImageFile::load(path, bounds).image;
    if (picture.isNull())
        return {};
    const QSize fitted = picture.width() <= size && picture.height() <= size
                             ? picture.size()
                             : picture.size().scaled(size, size, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return Resampler::resize(picture, fitted.width(), fitted.height());
}

#include "moc_ThumbnailLoader.cpp"
