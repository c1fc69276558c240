// A read-only listing of the recordings of a working folder, as text or CSV, for export.
#pragma once

#include "library/CatalogueDateFormat.h"

#include <QString>
#include <QStringList>
#include <vector>

struct CatalogueListRow {
    QString id;     ///< the recording's id, which the catalogue commands take
    QString folder; ///< the folder's name
    QString date;   ///< yyyy-MM-dd, or the stored text when it cannot be read
    QString time;   ///< HH:mm:ss, or the stored text
    QString duration;
    QString memo;
    QString wavPath; ///< relative to the working folder, e.g. wav/1_20261208_131453.wav
    bool exists = false;
};

/// Reads Recordings.d and Folders.d of `folder` without changing anything. A damaged table is read
/// from its backup instead, with a warning. Throws TableError when the recordings cannot be read at
/// all, or when `onlyFolder` is not empty and no folder has that name.
class CatalogueListing {
public:
    static std::vector<CatalogueListRow> read(const QString& folder, const CatalogueDateFormat& formats,
                                              const QString& onlyFolder, QStringList* warnings);
    /// The folder tree as the window shows it: tree.d, with a top-level node for every folder of
    /// Folders.d that has none. Returns the lines, two blanks of indent per level; control
    /// characters of names are shown as blanks.
    static QStringList treeLines(const QString& folder, QStringList* warnings);

    /// Header "id,folder,date,time,duration,memo,wav,exists"; fields quoted as RFC 4180 wants, and a
    /// text a spreadsheet would run as a formula (starting with = + - @) gets a leading apostrophe.
    static QString toCsv(const std::vector<CatalogueListRow>& rows);
    /// Aligned columns with a header line, for people.
    static QString toText(const std::vector<CatalogueListRow>& rows);
    /// One CSV field as toCsv writes it; `untrusted`: text from a file or the line (the formula guard).
    static QString csvField(QString text, bool untrusted);
    /// Lines of columns, each column as wide as its widest text and two blanks; the first line is the header.
    static QString alignedColumns(const std::vector<QStringList>& lines);
};
