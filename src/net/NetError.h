// The error a network call raises when it ends without an answer the caller can use.
#pragma once

#include <stdexcept>
#include <string>

#include <QtCore/QString>

class NetError : public std::runtime_error
{
  public:
    explicit NetError(const QString& text);
};
