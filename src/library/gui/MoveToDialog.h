// The "Move" window: the folder picker of the move command.
#pragma once

#include <QDialog>

class FolderTree;
class QPushButton;
class QTreeWidget;

/// Created once at start. chooseFolder() empties the result, copies the folder tree into the
/// dialog fully expanded, and shows it modally; OK (with a folder selected) gives the folder's
/// name, Cancel or closing the window an empty text.
///
///     operations.setMoveTargetChooser([&] { return moveDialog.chooseFolder(catalogue.folderTree()); });
class MoveToDialog : public QDialog {
    Q_OBJECT
public:
    explicit MoveToDialog(QWidget* parent = nullptr);

    QString chooseFolder(const FolderTree& tree);
    /// The name chosen by the last OK; empty after Cancel or a close.
    QString result() const { return m_result; }
    /// Fills the dialog's tree with a copy of `tree`, fully expanded, nothing selected.
    void copyTree(const FolderTree& tree);

private:
    void accept() override;

    QTreeWidget* m_tree;
    QPushButton* m_ok;
    QString m_result;
};
