#pragma once
// The phone model catalogue "mp_dat.sys": a header line, then one comma-text line per model or
// model variant with carrier, name, variant, extra, width, height, colour bits and size limit.
#include "catalogue/TModelEntry.h"
#include "foundation/ProgramError.h"

#include <QtCore/QStringList>
#include <vector>

// A line that is not a valid model line; names the file and the line.
class CatalogueLineError : public ProgramError
{
  public:
    CatalogueLineError(const QString& reason, const QString& path, int lineNumber);
};

class ModelCatalogue
{
  public:
    static QString fileName() { return QStringLiteral("mp_dat.sys"); }
    // The shipped catalogue of today's screen classes, offered after the models of "mp_dat.sys".
    // It is read from the program folder only; a catalogue update never replaces it.
    static QString todayFileName() { return QStringLiteral("mp_today.sys"); }

    // Reads the catalogue file. Returns false when the file does not exist (the catalogue keeps
    // what it held). A malformed line raises CatalogueLineError; the entries before it stay.
    bool load(const QString& path);
    // The same from the file's bytes.
    void parse(const QByteArray& bytes, const QString& pathForMessages);
    // Adds the models of another catalogue file after those held, new carriers after the known
    // ones. False, adding nothing, when the file does not exist; errors as for load().
    bool append(const QString& path);

    int modelCount() const { return int(entries_.size()); }
    const std::vector<TModelEntry>& entries() const { return entries_; }
    const QStringList& carriers() const { return carriers_; }

    // The first entry with exactly this name, or the default model.
    TModelEntry FindModel(const QString& name) const;
    // Names of the carrier's entries in catalogue order.
    QStringList modelNamesOf(const QString& carrier) const;

  private:
    std::vector<TModelEntry> entries_;
    QStringList carriers_;
};
