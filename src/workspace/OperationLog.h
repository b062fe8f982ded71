#pragma once
// The operation log "DiruRodido.ini": the identifiers of the operations applied since the picture
// was loaded. The program writes it and never reads the identifiers back. Work that leaves no
// trace (the command-line tool) keeps the identifiers in memory instead.
#include <QtCore/QString>

#include <vector>

enum class OperationId {
    FitWidth = 1,
    FitHeight,
    FitBoth,
    RotateLeft,
    RotateRight,
    FlipVertical,
    FlipHorizontal,
    Darken,
    Brighten,
    RemoveNoise,
    Smooth,
    Sharpen,
    Mono,
    Sepia,
    Oil,
    Canvas,
    Ripple,
    Wave,
    Lens,
    Mosaic,
    Blur
};

class OperationLog
{
  public:
    explicit OperationLog(const QString& dataFolder);
    static OperationLog inMemory();

    const QString& path() const { return path_; }
    int RecordOperation(OperationId id);
    int RemoveLastOperation();
    void ClearOperationLog();
    int count() const;

  private:
    OperationLog() = default;

    QString path_; // empty: in memory
    std::vector<int> memory_;
};
