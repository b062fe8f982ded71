// A grid of thumbnails of the pictures in one folder; clicking one selects its file.
#pragma once

#include <QtCore/QList>
#include <QtCore/QPair>
#include <QtGui/QIcon>
#include <QtWidgets/QListWidget>

class QTimer;

class ThumbnailLoader;

class ThumbnailList : public QListWidget
{
    Q_OBJECT

  public:
    static constexpr int kThumbnailSize = 64;
    // Thumbnails arrive in bursts; they are put up a slice of this many milliseconds at a time.
    static constexpr int kSliceMilliseconds = 8;

    explicit ThumbnailList(QWidget* parent = nullptr);

    void setFilePath(const QString& folder);
    QString filePath() const { return folder_; }
    // The file extensions offered, compared without regard to case; ImageFolder::defaultExtensions() at first.
    void setExtensions(const QStringList& extensions) { extensions_ = extensions; }
    // Lists the folder's pictures (sorted by name), shows them and starts making their thumbnails.
    QStringList getFiles();
    QStringList files() const { return files_; }
    // The name, without folder, of the file last clicked; empty until one is.
    QString selectedFile() const { return selected_; }
    // Waits until every thumbnail has been made (for tests and shutdown).
    bool waitForThumbnails(int msecs = -1);

  signals:
    void fileSelected(const QString& name);

  private:
    void queueThumbnail(int index, const QImage& thumbnail);
    void showQueuedThumbnails(int budgetMilliseconds);
    void showThumbnail(int index, const QImage& thumbnail);
    void itemClickedAt(QListWidgetItem* item);

    ThumbnailLoader* loader_;
    QTimer* showTimer_;
    QList<QPair<int, QImage>> queued_;
    QIcon placeholder_;
    QString folder_;
    QStringList extensions_;
    QStringList files_;
    QString selected_;
};
