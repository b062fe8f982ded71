#pragma once
// The undo history: numbered undo images "temp-N.bmp" in the working folder, the newest of which is
// always the base picture, and the stack of steps still in effect (image steps and layer steps).
// Work that is never undone (the command-line tool) keeps only the newest picture, in memory.
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/ScalablePicture.h"

#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtGui/QImage>

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

enum class StepKind : unsigned char { Layer = 0, Image = 1 };

enum class UndoStorage : unsigned char { Files, NewestInMemory };

class UndoHistory
{
  public:
    explicit UndoHistory(QString workFolder, UndoStorage storage = UndoStorage::Files);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Told whenever the stack becomes empty or stops being empty ("元に戻す" follows it).
    void setUndoAvailableListener(std::function<void(bool)> listener);

    QString undoImagePath(int number) const;
    // The number of undo images: the first number without a file, scanning up from 0.
    int undoImageCount() const;
    QString NextUndoImageName() const;
    // Writes the picture as the next undo image, whole or not at all.
    bool writeNextUndoImage(const QImage& picture, QString* error = nullptr);
    // Starts the history afresh with the picture as undo image 0. A folder that cannot take the
    // file refuses it at once, and the old undo images stay as they were. The file itself is written
    // on a thread of its own, beside the work that follows a load: until it is on disk the picture
    // is served from memory, and whatever needs the files waits for it (finishWriting).
    bool startWith(const QImage& picture, QString* error = nullptr);
    // The same, with the file's picture as undo image 0. Kept in memory, it is decoded whole only when
    // something asks for it whole; while it is the newest, the working image is made from the file at
    // the scale it is shown at (newestFile), in either storage, so that both make the same pictures.
    bool startWithFile(std::shared_ptr<ScalablePicture> file, QString* error = nullptr);
    // The file undo image 0 came from while that is the newest undo image, otherwise null.
    ScalablePicture* newestFile() const;
    bool keepsFiles() const { return !inMemory(); }
    // The newest undo image, read from disk unless the copy in memory is still that file's content.
    std::optional<QImage> LoadNewestUndoImage();
    // Reads one undo image; it is kept in memory, so the rebuild that usually follows reads nothing.
    DecodedImage readUndoImage(int number);
    // Deletes the newest undo image unless it is undo image 0; returns the path of the one to restore,
    // or nothing when the newest cannot be deleted (it would otherwise still count as the newest).
    std::optional<QString> PopUndoImage();
    void DeleteUndoImages();
    // Waits until undo image 0 is on disk. Should it fail to get there after all, the picture stays
    // in memory alone, the old picture's files go, and the failure listener is told: the picture's
    // image steps then cannot be undone.
    void finishWriting();
    void setWriteFailureListener(std::function<void(const QString& error)> listener);

    void PushStep(StepKind kind);
    void EmptySteps();
    void popStep();
    bool hasSteps() const { return !steps_.empty(); }
    int stepCount() const { return int(steps_.size()); }
    StepKind topStep() const { return steps_.back(); }

  private:
    struct FileStamp
    {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileStamp&) const = default;
    };
    static std::optional<FileStamp> stampOf(const QString& path);
    void remember(const QString& path, const QImage& picture);
    void forget();
    // In memory, the newest picture once it is needed whole: undo image 0 from its file.
    const QImage& newestInMemory();
    void notify(bool wasAvailable);
    // Waits for undo image 0; why it failed, the picture then kept in memory alone.
    std::optional<QString> settleFirstWrite();

    bool inMemory() const { return storage_ == UndoStorage::NewestInMemory; }

    QString folder_;
    const UndoStorage configured_;
    UndoStorage storage_;             // the configured one, or memory for a picture whose file failed
    std::future<QString> firstWrite_; // undo image 0 on its way to disk: why it failed, or empty
    int memoryCount_ = 0;             // undo images "written" while in memory; only the newest is kept
    std::vector<StepKind> steps_;     // grows as needed: the history has no fixed depth
    std::function<void(bool)> listener_;
    std::function<void(const QString&)> failureListener_;
    QString cachedPath_;
    FileStamp cachedStamp_;
    QImage cachedImage_;
    std::shared_ptr<ScalablePicture> file_; // what undo image 0 was loaded from, if a file
};
