#pragma once
// Reading a small file that something else may have put in its place: a FIFO or device is refused
// without waiting (opening a FIFO blocks until a writer comes), and so is a file larger than the
// reader can take, before any of it is read.
#include <QtCore/QByteArray>
#include <QtCore/QString>

class BoundedFileRead
{
  public:
    enum class Outcome { Read, Missing, Refused };

    BoundedFileRead(const QString& path, qint64 maxBytes);

    Outcome outcome() const { return outcome_; }
    const QByteArray& bytes() const { return bytes_; }
    // Why the file was refused, in English for standard error; empty unless Refused.
    const QString& problem() const { return problem_; }

  private:
    Outcome outcome_ = Outcome::Missing;
    QByteArray bytes_;
    QString problem_;
};
