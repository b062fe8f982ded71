// One reply of an FTP server: its three-digit code and its last line.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

struct FtpReply
{
    enum class LineKind { Ignored, Intermediate, Final };

    int code = 0;
    QString text;

    // A line (without its end) that starts with three digits and "-" continues a reply; three
    // digits and anything else end it; everything else is ignored.
    static LineKind classify(const QByteArray& line);
    static FtpReply fromLine(const QByteArray& line);
};
