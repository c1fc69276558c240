// The folder tree without widgets: nodes of list names, the selection, and the tree.d file.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

/// One node of the tree; its text is the name of its folder.
struct FolderNode {
    QString text;
    FolderNode* parent = nullptr;
    std::vector<std::unique_ptr<FolderNode>> children;
    bool expanded = false;

    int level() const;
};

/// The lists and sublists the user files recordings in. The window's tree shows this model and
/// reports the user's selection through setSelected().
class FolderTree : public QObject {
    Q_OBJECT
public:
    explicit FolderTree(QObject* parent = nullptr);
    ~FolderTree() override;

    const std::vector<std::unique_ptr<FolderNode>>& topLevel() const { return m_roots; }
    /// Every node, depth first: a node, its children in order, then its next sibling.
    QList<FolderNode*> nodes() const;
    /// The first node (depth first) whose text is exactly `text`, or null.
    FolderNode* find(const QString& text) const;
    bool isEmpty() const { return m_roots.empty(); }

    void clear();
    FolderNode* addTopLevel(const QString& text);
    FolderNode* addChild(FolderNode* parent, const QString& text);
    /// Removes a node with everything below it; a removed selected node leaves nothing selected.
    void remove(FolderNode* node);
    void setText(FolderNode* node, const QString& text);
    void expandAll();

    FolderNode* selected() const { return m_selected; }
    void setSelected(FolderNode* node);
    /// Image 0 for the selected node, 1 for the others.
    int imageIndex(const FolderNode* node) const { return node == m_selected ? 0 : 1; }

    /// Replaces all nodes by those of `bytes` (the content of tree.d). Reading stops at a line
    /// more than one level below the one before it; the nodes read until then stay. Returns the
    /// error text ("Invalid level (%d) for item \"...\"") or an empty text. Empty lines are skipped.
    QString parse(const QByteArray& bytes);
    /// The content of tree.d: one line per node, as many tabs as its depth, its text, CR LF.
    QByteArray serialize() const;
    /// Reads `path`; returns the error text of parse() or of the file.
    QString loadFromFile(const QString& path);
    /// Writes `path` atomically; false when the file system refuses.
    bool saveToFile(const QString& path) const;

Q_SIGNALS:
    void changed();
    void selectionChanged(FolderNode* node);

private:
    std::vector<std::unique_ptr<FolderNode>> m_roots;
    FolderNode* m_selected = nullptr;
};
