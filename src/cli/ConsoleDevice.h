#pragma once
// The tool's standard output or error as a device for a QTextStream: text goes out as UTF-8, and
// a file name's bytes that are not UTF-8 (PathBytes) go out exactly as they were given. The stream
// hands the device UTF-16, which carries those characters intact; attach() sets that up.
#include <QtCore/QIODevice>
#include <QtCore/QTextStream>

class ConsoleDevice : public QIODevice
{
  public:
    explicit ConsoleDevice(int fd);
    // Makes `stream` write through this device.
    void attach(QTextStream& stream);

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

  private:
    bool writeAll(const QByteArray& bytes);

    int fd_;
    QByteArray pending_; // an odd byte, or the first half of a pair split between two writes
};
