#pragma once
// The desktop for a benchmark: the open dialog answers with `picture`, and any message box means
// the measured path went wrong, so the run stops rather than timing an error.
#include "foundation/InertPrompts.h"

class QuietPrompts final : public InertPrompts
{
  public:
    QString picture;
    Answer message(MessageKind, const QString& text, MessageButtons) override
    {
        qFatal("unexpected message: %s", qPrintable(text));
    }
    QString openFileName(const FileDialogRequest&) override { return picture; }
};
