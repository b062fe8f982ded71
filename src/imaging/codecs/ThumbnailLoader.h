// Makes thumbnails of picture files on a small background thread pool and hands them back on the
// thread that owns the loader, so a folder of large photos never freezes the window.
#pragma once

#include <QtCore/QObject>
#include <QtCore/QThreadPool>
#include <QtGui/QImage>

class ThumbnailLoader : public QObject
{
    Q_OBJECT

  public:
    explicit ThumbnailLoader(QObject* parent = nullptr);
    // Waits for the thumbnails in progress; those not started are dropped.
    ~ThumbnailLoader() override;

    // Starts a new batch; thumbnails of earlier batches that are still on their way are discarded.
    void load(const QStringList& paths, int size);
    void cancel();
    bool waitForDone(int msecs = -1) { return pool_.waitForDone(msecs); }

    // Pictures beyond these are not decoded for a thumbnail: the stamp and frame lists use no larger.
    static constexpr qint64 MaxSide = 8192;
    static constexpr qint64 MaxPixels = 4096 * 4096;

    // A picture fitted into size x size (never enlarged), Format_RGB888; null when the file is not a
    // picture or is larger than the bounds above.
    static QImage makeThumbnail(const QString& path, int size);

  signals:
    void thumbnailReady(int index, const QImage& thumbnail);

  private:
    void deliver(int batch, int index, const QImage& thumbnail);

    QThreadPool pool_;
    int batch_ = 0;
};
