#pragma once
// Why a picture could not be written where the user asked, in the user's words. The writer only
// knows that it failed; the folder is looked at afterwards for the two causes a user can mend.
#include <QtCore/QString>

class WriteFailureReason
{
  public:
    // The reason for path, needing about `bytes` bytes (negative: unknown); empty when neither
    // cause is found.
    static QString describe(const QString& path, qint64 bytes);
};
