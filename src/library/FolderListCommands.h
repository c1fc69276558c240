// The four list commands of the folder tree: add list, add sublist, delete list, rename list.
#pragma once

#include <QString>

class Catalogue;
class Prompter;

/// Works on the catalogue's tree and tables and asks the user through the prompter. Names are kept
/// as typed except that leading blanks and tabs (which tree.d would read as levels) and control
/// characters are removed, and they are cut to the 100 characters a folder name holds.
/// Add sublist, Delete list and Rename list need a selected node and do nothing without one (the
/// window disables them then, see hasSelection()).
class FolderListCommands {
public:
    FolderListCommands(Catalogue& catalogue, Prompter& prompter);

    bool hasSelection() const;

    /// Each returns whether the tree and tables changed.
    bool addList();
    bool addSublist();
    /// Deletes the selected list and every sublist below it, with their folder rows, recordings
    /// and WAV files, after the user's OK. Refused when "General" is among them.
    bool deleteList();
    /// Renames the selected list; a name another list already has is refused with the add
    /// commands' message.
    bool renameList();

    /// The name as it will be stored.
    static QString cleanName(const QString& typed);

private:
    bool addList(bool sublist);
    bool nameTaken(const QString& name) const;
    void refuseName(const QString& name);

    Catalogue& m_catalogue;
    Prompter& m_prompter;
};
