// Folder tree nodes and their text file.
#include "library/FolderTree.h"

#include "library/TableRecord.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <functional>

int FolderNode::level() const {
    int level = 0;
    for (const FolderNode* p = parent; p; p = p->parent)
        ++level;
    return level;
}

FolderTree::FolderTree(QObject* parent) : QObject(parent) {}

FolderTree::~FolderTree() = default;

QList<FolderNode*> FolderTree::nodes() const {
    QList<FolderNode*> out;
    std::function<void(const std::vector<std::unique_ptr<FolderNode>>&)> walk = [&](const auto& list) {
        for (const auto& node : list) {
            out.append(node.get());
            walk(node->children);
        }
    };
    walk(m_roots);
    return out;
}

FolderNode* FolderTree::find(const QString& text) const {
    for (FolderNode* node : nodes())
        if (node->text == text)
            return node;
    return nullptr;
}

void FolderTree::clear() {
    m_roots.clear();
    setSelected(nullptr);
    Q_EMIT changed();
}

FolderNode* FolderTree::addTopLevel(const QString& text) {
    auto node = std::make_unique<FolderNode>();
    node->text = text;
    m_roots.push_back(std::move(node));
    Q_EMIT changed();
    return m_roots.back().get();
}

FolderNode* FolderTree::addChild(FolderNode* parent, const QString& text) {
    if (!parent)
        return addTopLevel(text);
    auto node = std::make_unique<FolderNode>();
    node->text = text;
    node->parent = parent;
    parent->children.push_back(std::move(node));
    Q_EMIT changed();
    return parent->children.back().get();
}

void FolderTree::remove(FolderNode* node) {
    if (!node)
        return;
    for (FolderNode* p = m_selected; p; p = p->parent)
        if (p == node) {
            setSelected(nullptr);
            break;
        }
    auto& list = node->parent ? node->parent->children : m_roots;
    list.erase(std::remove_if(list.begin(), list.end(), [node](const auto& n) { return n.get() == node; }), list.end());
    Q_EMIT changed();
}

void FolderTree::setText(FolderNode* node, const QString& text) {
    node->text = text;
    Q_EMIT changed();
}

void FolderTree::expandAll() {
    for (FolderNode* node : nodes())
        node->expanded = true;
    Q_EMIT changed();
}

void FolderTree::setSelected(FolderNode* node) {
    if (node == m_selected)
        return;
    m_selected = node;
    Q_EMIT selectionChanged(node);
}

QString FolderTree::parse(const QByteArray& bytes) {
    m_roots.clear();
    setSelected(nullptr);
    QString error;
    FolderNode* previous = nullptr;
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    for (const QByteArray& raw : text.split('\n')) {
        qsizetype level = 0;
        while (level < raw.size() && (raw.at(level) == '\t' || raw.at(level) == ' '))
            ++level;
        const QString name = TableRecord::decodeText(raw.constData() + level, raw.size() - level);
        if (name.isEmpty())
            continue;
        if (!previous) {
            previous = addTopLevel(name);
            // The first line makes a top-level node whatever its indentation.
            continue;
        }
        const int previousLevel = previous->level();
        if (level > previousLevel + 1) {
            error = QStringLiteral("Invalid level (%1) for item \"%2\"").arg(level).arg(name);
            break;
        }
        if (level == previousLevel + 1) {
            previous = addChild(previous, name);
            continue;
        }
        FolderNode* sibling = previous;
        while (sibling->level() > level)
            sibling = sibling->parent;
        previous = addChild(sibling->parent, name);
    }
    Q_EMIT changed();
    return error;
}

QByteArray FolderTree::serialize() const {
    QByteArray out;
    for (const FolderNode* node : nodes())
        out += QByteArray(node->level(), '\t') + node->text.toUtf8() + "\r\n";
    return out;
}

QString FolderTree::loadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open file %1").arg(path);
    return parse(file.readAll());
}

bool FolderTree::saveToFile(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize();
    return file.write(bytes) == bytes.size() && file.commit();
}
