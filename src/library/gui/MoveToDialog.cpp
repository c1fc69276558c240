// The "Move" window.
#include "library/gui/MoveToDialog.h"

#include "library/FolderTree.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

MoveToDialog::MoveToDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MoveToForm"));
    setWindowTitle(QStringLiteral("Move"));
    auto* label = new QLabel(QStringLiteral("Move the item(s) to the selected folder"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setTextFormat(Qt::PlainText);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setAccessibleName(QStringLiteral("Lists"));
    m_tree->setHeaderHidden(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &MoveToDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // OK needs a folder to move to.
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(!m_tree->selectedItems().isEmpty()); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &MoveToDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_tree, 1);
    layout->addWidget(buttons);
    setFixedSize(326, 250);
    m_ok->setEnabled(false);
}

void MoveToDialog::copyTree(const FolderTree& tree) {
    m_tree->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    std::function<void(QTreeWidgetItem*, const FolderNode&)> add = [&](QTreeWidgetItem* item, const FolderNode& node) {
        item->setText(0, node.text);
        item->setIcon(0, icon);
        for (const auto& child : node.children)
            add(new QTreeWidgetItem(item), *child);
    };
    for (const auto& root : tree.topLevel())
        add(new QTreeWidgetItem(m_tree), *root);
    m_tree->expandAll();
    m_tree->clearSelection();
    m_ok->setEnabled(false);
}

QString MoveToDialog::chooseFolder(const FolderTree& tree) {
    m_result.clear();
    copyTree(tree);
    exec(); // centred on the main window, its parent

    return m_result;
}

void MoveToDialog::accept() {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty())
        return;
    m_result = selected.front()->text(0);
    QDialog::accept();
}
