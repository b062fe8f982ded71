#include "workspace/OperationLog.h"

#include "foundation/IniFile.h"

namespace {

const QString countSection = QStringLiteral("処理数");
const QString countKey = QStringLiteral("PROC_NUM");
const QString idSection = QStringLiteral("処理ID");

QString idKey(int n)
{
    return QStringLiteral("PROC_%1").arg(n);
}

} // namespace

OperationLog::OperationLog(const QString& dataFolder) : path_(dataFolder + QStringLiteral("DiruRodido.ini")) {}

OperationLog OperationLog::inMemory()
{
    return OperationLog();
}

int OperationLog::count() const
{
    if (path_.isEmpty())
        return int(memory_.size());
    return IniFile(path_).readInteger(countSection, countKey, 0);
}

int OperationLog::RecordOperation(OperationId id)
{
    if (path_.isEmpty()) {
        memory_.push_back(int(id));
        return count();
    }
    IniFile log(path_);
    const int n = log.readInteger(countSection, countKey, 0) + 1;
    log.writeInteger(idSection, idKey(n), int(id));
    log.writeInteger(countSection, countKey, n);
    log.save();
    return n;
}

int OperationLog::RemoveLastOperation()
{
    if (path_.isEmpty()) {
        if (!memory_.empty())
            memory_.pop_back();
        return count();
    }
    IniFile log(path_);
    const int n = log.readInteger(countSection, countKey, 0);
    if (n <= 0)
        return n;
    log.removeKey(idSection, idKey(n));
    log.writeInteger(countSection, countKey, n - 1);
    log.save();
    return n - 1;
}

void OperationLog::ClearOperationLog()
{
    if (path_.isEmpty()) {
        memory_.clear();
        return;
    }
    IniFile log(path_);
    int n = log.readInteger(countSection, countKey, 0);
    if (n <= 0)
        return;
    for (; n > 0; --n)
        log.removeKey(idSection, idKey(n));
    log.writeInteger(countSection, countKey, 0);
    log.save();
}
