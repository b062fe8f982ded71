#include "workspace/UndoHistory.h"

#include "foundation/ErrorDetail.h"
#include "imaging/codecs/ImageFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryFile>

#include <sys/statvfs.h>
#include <system_error>

namespace {

QString undoImageIn(const QString& folder, int number)
{
    return folder + QStringLiteral("temp-%1.bmp").arg(number);
}

// Removes undo images upwards from `first` until the first number without a file.
void removeUndoImagesIn(const QString& folder, int first = 0)
{
    for (int n = first; QFile::exists(undoImageIn(folder, n)); ++n)
        QFile::remove(undoImageIn(folder, n));
}

// The size of the 24-bit bitmap an undo image is written as.
quint64 bitmapBytes(QSize size)
{
    return 54 + ((quint64(size.width()) * 3 + 3) & ~quint64(3)) * quint64(size.height());
}

// Why the folder cannot take a file of this size, or empty: a file is made there and removed, and the
// free space is looked at. What fails later still can, but a missing, read-only or full folder is
// known before anything changes.
QString roomFor(const QString& folder, quint64 bytes)
{
    QTemporaryFile probe(folder + QStringLiteral("temp-probe-XXXXXX"));
    if (!probe.open())
        return QStringLiteral("cannot write in %1: %2").arg(folder, probe.errorString());
    struct statvfs disk
    {
    };
    if (::fstatvfs(probe.handle(), &disk) == 0 && disk.f_frsize > 0 && disk.f_bavail < bytes / disk.f_frsize + 1)
        return QStringLiteral("%1 has no room for %2 bytes").arg(folder).arg(bytes);
    return {};
}

// Undo image 0 written whole in place of the old one, or not at all; the old picture's later undo
// images go only then.
QString writeFirstUndoImage(const QImage& picture, const QString& folder)
{
    try {
        QString error;
        if (!ImageFile::save(picture, undoImageIn(folder, 0), FileFormat::Bmp, EncodeOptions{}, &error))
            return error;
        removeUndoImagesIn(folder, 1);
        return {};
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    }
}

} // namespace

UndoHistory::UndoHistory(QString workFolder, UndoStorage storage)
    : folder_(std::move(workFolder)), configured_(storage), storage_(storage)
{
}

UndoHistory::~UndoHistory()
{
    if (firstWrite_.valid())
        firstWrite_.wait();
}

void UndoHistory::setWriteFailureListener(std::function<void(const QString&)> listener)
{
    failureListener_ = std::move(listener);
}

void UndoHistory::finishWriting()
{
    if (const std::optional<QString> failure = settleFirstWrite(); failure && failureListener_)
        failureListener_(*failure);
}

std::optional<QString> UndoHistory::settleFirstWrite()
{
    if (!firstWrite_.valid())
        return std::nullopt;
    const QString failure = firstWrite_.get();
    if (failure.isEmpty()) {
        remember(undoImagePath(0), cachedImage_);
        return std::nullopt;
    }
    // The picture was taken already and stays, in memory alone; the old picture's files go.
    writeErrorDetail(failure);
    removeUndoImagesIn(folder_);
    storage_ = UndoStorage::NewestInMemory;
    memoryCount_ = 1;
    return failure;
}

void UndoHistory::setUndoAvailableListener(std::function<void(bool)> listener)
{
    listener_ = std::move(listener);
}

QString UndoHistory::undoImagePath(int number) const
{
    return undoImageIn(folder_, number);
}

int UndoHistory::undoImageCount() const
{
    if (inMemory())
        return memoryCount_;
    if (firstWrite_.valid())
        return 1; // undo image 0 is on its way, and the old ones are going
    int n = 0;
    while (QFileInfo(undoImagePath(n)).isFile())
        ++n;
    return n;
}

QString UndoHistory::NextUndoImageName() const
{
    return undoImagePath(undoImageCount());
}

std::optional<UndoHistory::FileStamp> UndoHistory::stampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    return FileStamp{info.size(), info.lastModified()};
}

void UndoHistory::remember(const QString& path, const QImage& picture)
{
    const std::optional<FileStamp> stamp = stampOf(path);
    if (!stamp) {
        forget();
        return;
    }
    cachedPath_ = path;
    cachedStamp_ = *stamp;
    cachedImage_ = picture;
}

void UndoHistory::forget()
{
    cachedPath_.clear();
    cachedImage_ = QImage();
}

bool UndoHistory::writeNextUndoImage(const QImage& picture, QString* error)
{
    finishWriting();
    if (file_)
        file_->release(); // the newest picture is no longer the file's
    if (inMemory()) {
        // Exactly what the file would give back when read: a 24-bit picture.
        cachedImage_ = picture.convertToFormat(QImage::Format_RGB888);
        ++memoryCount_;
        return true;
    }
    const QString path = NextUndoImageName();
    if (!ImageFile::save(picture, path, FileFormat::Bmp, EncodeOptions{}, error))
        return false;
    // What was written is what a read would give: a 24-bit picture.
    remember(path, picture.convertToFormat(QImage::Format_RGB888));
    return true;
}

bool UndoHistory::startWith(const QImage& picture, QString* error)
{
    settleFirstWrite(); // a failure there concerns the picture this one replaces
    if (configured_ == UndoStorage::NewestInMemory) {
        file_.reset();
        storage_ = configured_;
        memoryCount_ = 0;
        return writeNextUndoImage(picture, error);
    }
    // What is written is what a read would give: a 24-bit picture.
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    if (const QString problem = roomFor(folder_, bitmapBytes(rgb.size())); !problem.isEmpty()) {
        if (error)
            *error = problem;
        return false; // the current picture's history stays as it is
    }
    file_.reset();
    storage_ = configured_;
    forget();
    try {
        firstWrite_ =
            std::async(std::launch::async, [rgb, folder = folder_] { return writeFirstUndoImage(rgb, folder); });
    } catch (const std::system_error&) {
        // No thread to spare: written here, and refused as a whole.
        if (const QString problem = writeFirstUndoImage(rgb, folder_); !problem.isEmpty()) {
            if (error)
                *error = problem;
            return false;
        }
        remember(undoImagePath(0), rgb);
        return true;
    }
    cachedImage_ = rgb; // served until the file is there
    return true;
}

bool UndoHistory::startWithFile(std::shared_ptr<ScalablePicture> file, QString* error)
{
    if (configured_ == UndoStorage::NewestInMemory) {
        memoryCount_ = 1;
        forget();
        file_ = std::move(file);
        return true;
    }
    const DecodedImage whole = file->covering({});
    if (!whole.ok()) {
        if (error)
            *error = whole.error;
        return false;
    }
    if (!startWith(whole.image, error))
        return false;
    file_ = std::move(file);
    return true;
}

ScalablePicture* UndoHistory::newestFile() const
{
    return file_ && undoImageCount() == 1 ? file_.get() : nullptr;
}

const QImage& UndoHistory::newestInMemory()
{
    if (cachedImage_.isNull() && file_ && memoryCount_ == 1) {
        const DecodedImage whole = file_->covering({});
        if (whole.ok())
            cachedImage_ = whole.image;
        else
            writeErrorDetail(whole.error);
    }
    return cachedImage_;
}

std::optional<QImage> UndoHistory::LoadNewestUndoImage()
{
    const int count = undoImageCount();
    if (count == 0)
        return std::nullopt;
    if (inMemory()) {
        const QImage& newest = newestInMemory();
        return newest.isNull() ? std::nullopt : std::optional<QImage>(newest);
    }
    if (firstWrite_.valid())
        return cachedImage_; // undo image 0, still being written
    const QString path = undoImagePath(count - 1);
    const std::optional<FileStamp> stamp = stampOf(path);
    if (stamp && path == cachedPath_ && *stamp == cachedStamp_)
        return cachedImage_;
    const DecodedImage decoded = readUndoImage(count - 1);
    if (!decoded.ok()) {
        forget();
        return std::nullopt;
    }
    return decoded.image;
}

DecodedImage UndoHistory::readUndoImage(int number)
{
    if (firstWrite_.valid() && number == 0)
        return DecodedImage{cachedImage_, 24, {}};
    finishWriting();
    if (inMemory()) {
        DecodedImage kept;
        if (number == memoryCount_ - 1 && !newestInMemory().isNull()) {
            kept.image = cachedImage_;
            kept.bitCount = 24;
        } else {
            kept.error = QStringLiteral("この作業では前の画像を残していません。");
        }
        return kept;
    }
    const QString path = undoImagePath(number);
    DecodedImage decoded = ImageFile::load(path);
    if (decoded.ok())
        remember(path, decoded.image);
    return decoded;
}

std::optional<QString> UndoHistory::PopUndoImage()
{
    finishWriting();
    const int count = undoImageCount();
    if (inMemory()) {
        if (count >= 2) {
            --memoryCount_;
            forget(); // the older picture was never kept
        }
        return QString();
    }
    if (count >= 2) {
        QFile newest(undoImagePath(count - 1));
        if (!newest.remove()) {
            writeErrorDetail(QStringLiteral("%1: %2").arg(newest.fileName(), newest.errorString()));
            return std::nullopt;
        }
        return undoImagePath(count - 2);
    }
    return undoImagePath(std::max(count - 1, 0));
}

void UndoHistory::DeleteUndoImages()
{
    settleFirstWrite(); // the picture goes, and what became of its file with it
    memoryCount_ = 0;
    file_.reset();
    if (configured_ == UndoStorage::Files) // a picture kept in memory since its file failed leaves none
        removeUndoImagesIn(folder_);
    forget();
    const bool was = hasSteps();
    notify(was);
}

void UndoHistory::PushStep(StepKind kind)
{
    const bool was = hasSteps();
    steps_.push_back(kind);
    notify(was);
}

void UndoHistory::EmptySteps()
{
    const bool was = hasSteps();
    steps_.clear();
    notify(was);
}

void UndoHistory::popStep()
{
    const bool was = hasSteps();
    if (!steps_.empty())
        steps_.pop_back();
    notify(was);
}

void UndoHistory::notify(bool wasAvailable)
{
    if (listener_ && wasAvailable != hasSteps())
        listener_(hasSteps());
}
