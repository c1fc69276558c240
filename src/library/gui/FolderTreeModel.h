// The folder tree of the main window, shown from the catalogue's tree; a click selects the folder.
#pragma once

#include <QStandardItemModel>

class Catalogue;
struct FolderNode;
class QTreeView;

class FolderTreeModel : public QStandardItemModel {
    Q_OBJECT
public:
    /// Shows the catalogue's folders in `view` and makes the clicked folder the selected one.
    FolderTreeModel(Catalogue& catalogue, QTreeView& view, QObject* parent = nullptr);

    void reload();
    FolderNode* nodeAt(const QModelIndex& index) const;

private:
    void showSelection();

    Catalogue& m_catalogue;
    QTreeView& m_view;
    bool m_reloading = false;
};
