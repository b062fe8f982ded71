// A file of known bytes in a test's own temporary folder, for uploads.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

class TransferTestFile
{
  public:
    explicit TransferTestFile(qsizetype size)
    {
        bytes_.resize(size);
        quint32 state = 12345;
        for (qsizetype i = 0; i < size; ++i) {
            state = state * 1103515245u + 12345u;
            bytes_[i] = static_cast<char>(state >> 16);
        }
        QFile file(path());
        file.open(QIODevice::WriteOnly);
        file.write(bytes_);
    }

    QString path() const { return dir_.filePath(QStringLiteral("upload.jpg")); }
    QString folder() const { return dir_.path(); }
    const QByteArray& bytes() const { return bytes_; }

  private:
    QTemporaryDir dir_;
    QByteArray bytes_;
};
