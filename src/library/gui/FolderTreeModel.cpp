// Items mirror the nodes; they are rebuilt whenever the tree changes, so no pointer outlives its node.
#include "library/gui/FolderTreeModel.h"

#include "library/Catalogue.h"

#include <QItemSelectionModel>
#include <QStyle>
#include <QTreeView>
#include <functional>

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
}

FolderTreeModel::FolderTreeModel(Catalogue& catalogue, QTreeView& view, QObject* parent)
    : QStandardItemModel(parent), m_catalogue(catalogue), m_view(view) {
    m_view.setModel(this);
    connect(&m_catalogue.folderTree(), &FolderTree::changed, this, &FolderTreeModel::reload);
    connect(&m_catalogue.folderTree(), &FolderTree::selectionChanged, this, &FolderTreeModel::showSelection);
    connect(m_view.selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (m_reloading)
            return;
        if (FolderNode* node = nodeAt(current); node && node != m_catalogue.folderTree().selected())
            m_catalogue.selectNode(node);
    });
    reload();
}

FolderNode* FolderTreeModel::nodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<FolderNode*>(index.data(kNodeRole).value<void*>()) : nullptr;
}

void FolderTreeModel::reload() {
    m_reloading = true;
    clear();
    const QIcon folder = m_view.style()->standardIcon(QStyle::SP_DirIcon);
    std::function<void(QStandardItem*, const FolderNode&)> add = [&](QStandardItem* parent, const FolderNode& node) {
        auto* item = new QStandardItem(folder, node.text);
        item->setEditable(false);
        item->setData(QVariant::fromValue(static_cast<void*>(const_cast<FolderNode*>(&node))), kNodeRole);
        parent->appendRow(item);
        for (const auto& child : node.children)
            add(item, *child);
    };
    for (const auto& root : m_catalogue.folderTree().topLevel())
        add(invisibleRootItem(), *root);
    m_view.expandAll();
    m_reloading = false;
    showSelection();
}

void FolderTreeModel::showSelection() {
    const FolderNode* selected = m_catalogue.folderTree().selected();
    std::function<QModelIndex(const QModelIndex&)> find = [&](const QModelIndex& parent) -> QModelIndex {
        for (int r = 0; r < rowCount(parent); ++r) {
            const QModelIndex at = index(r, 0, parent);
            if (nodeAt(at) == selected)
                return at;
            if (const QModelIndex below = find(at); below.isValid())
                return below;
        }
        return {};
    };
    const QModelIndex at = selected ? find({}) : QModelIndex();
    // One image for the selected folder, another for the rest.
    const QIcon closed = m_view.style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon open = m_view.style()->standardIcon(QStyle::SP_DirOpenIcon);
    std::function<void(QStandardItem*)> paint = [&](QStandardItem* parent) {
        for (int r = 0; r < parent->rowCount(); ++r) {
            QStandardItem* item = parent->child(r);
            item->setIcon(nodeAt(item->index()) == selected ? open : closed);
            paint(item);
        }
    };
    paint(invisibleRootItem());
    m_reloading = true;
    m_view.selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    m_reloading = false;
}
