// Groups the lines of the control connection into replies. A reply that opens with "NNN-" runs
// over several lines and ends only at a line that starts with the same code and a space (RFC 959);
// lines in between are its text, whatever digits they start with. A single-line reply is a line
// of three digits not followed by "-". Lines outside a reply that start with no code are ignored.
#pragma once

#include "net/FtpReply.h"

#include <optional>

class FtpReplyAssembler
{
  public:
    // Takes one line, without its end; the reply when this line completes one.
    std::optional<FtpReply> takeLine(const QByteArray& line);
    // Whether a multi-line reply has begun and not yet ended.
    bool inReply() const { return !code_.isEmpty(); }
    void reset() { code_.clear(); }

  private:
    QByteArray code_; // the code of the multi-line reply being read
};
