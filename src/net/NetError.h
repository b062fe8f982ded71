// The error a network call raises when it ends without an answer the caller can use.
#pragma once

#include <stdexcept>
#include <string>

#include <QtCore/QString>

class NetError : public std::runtime_error
{
  public:
    // What the client itself refused, so a caller can say so; anything else is Other.
    enum class Cause { Other, TooLarge, TimedOut, CutShort };

    explicit NetError(const QString& text, Cause cause = Cause::Other);
    Cause cause() const { return cause_; }

  private:
    Cause cause_;
};
