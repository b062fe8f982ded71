#include "workspace/UndoHistory.h"

#include "foundation/ErrorDetail.h"
#include "imaging/codecs/ImageFile.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

UndoHistory::UndoHistory(QString workFolder, UndoStorage storage) : folder_(std::move(workFolder)), storage_(storage) {}

void UndoHistory::setUndoAvailableListener(std::function<void(bool)> listener)
{
    listener_ = std::move(listener);
}

QString UndoHistory::undoImagePath(int number) const
{
    return folder_ + QStringLiteral("temp-%1.bmp").arg(number);
}

int UndoHistory::undoImageCount() const
{
    if (inMemory())
        return memoryCount_;
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
    file_.reset();
    if (inMemory()) {
        memoryCount_ = 0;
        return writeNextUndoImage(picture, error);
    }
    const QString staging = folder_ + QStringLiteral("temp-new.bmp");
    if (!ImageFile::save(picture, staging, FileFormat::Bmp, EncodeOptions{}, error))
        return false;
    DeleteUndoImages();
    const QString first = undoImagePath(0);
    if (!QFile::rename(staging, first)) {
        QFile::remove(staging);
        if (error)
            *error = QStringLiteral("%1 を作成できませんでした。").arg(first);
        return false;
    }
    remember(first, picture.convertToFormat(QImage::Format_RGB888));
    return true;
}

bool UndoHistory::startWithFile(std::shared_ptr<ScalablePicture> file, QString* error)
{
    if (inMemory()) {
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
    memoryCount_ = 0;
    file_.reset();
    for (int n = 0; !inMemory() && QFile::exists(undoImagePath(n)); ++n)
        QFile::remove(undoImagePath(n));
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
