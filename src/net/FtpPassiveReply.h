// The port a 227 reply announces. The address in the reply is never used: the data connection
// goes to the host of the control connection, so a server cannot send it to another machine.
#pragma once

#include <optional>

#include <QtCore/QString>

class FtpPassiveReply
{
  public:
    // The port from "(h1,h2,h3,h4,p1,p2)", or nothing when the six numbers are not all 0 to 255.
    static std::optional<quint16> port(const QString& text);
};
