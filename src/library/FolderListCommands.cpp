// Adding, deleting and renaming lists in the tree and in Folders.d together.
#include "library/FolderListCommands.h"

#include "base/Prompter.h"
#include "library/Catalogue.h"
#include "library/TableError.h"

namespace {

const QString kGeneral = QStringLiteral("General");
const QString kFolderName = QStringLiteral("FolderName");
constexpr int kNameSize = 100;

} // namespace

FolderListCommands::FolderListCommands(Catalogue& catalogue, Prompter& prompter)
    : m_catalogue(catalogue), m_prompter(prompter) {}

bool FolderListCommands::hasSelection() const {
    return m_catalogue.folderTree().selected() != nullptr;
}

QString FolderListCommands::cleanName(const QString& typed) {
    QString name = typed;
    for (QChar& c : name)
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\t'))
            c = QLatin1Char(' ');
    qsizetype start = 0;
    while (start < name.size() && (name.at(start) == QLatin1Char(' ') || name.at(start) == QLatin1Char('\t')))
        ++start;
    name = name.mid(start);
    name.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return name.left(kNameSize);
}

bool FolderListCommands::nameTaken(const QString& name) const {
    return !m_catalogue.folders().lookup(kFolderName, name, kFolderName).isNull();
}

void FolderListCommands::refuseName(const QString& name) {
    m_prompter.message(QStringLiteral("Name folder ") + name + QStringLiteral("already exits. Try another"),
                       Prompter::Icon::Warning);
    if (FolderNode* node = m_catalogue.folderTree().selected())
        m_catalogue.folders().locate(kFolderName, node->text);
}

bool FolderListCommands::addList(bool sublist) {
    FolderTree& tree = m_catalogue.folderTree();
    if (sublist && !tree.selected())
        return false;
    const QString typed =
        m_prompter.inputBox(QStringLiteral("New item"), QStringLiteral("Give name"), QString()).value_or(QString());
    const QString name = cleanName(typed);
    if (name.trimmed().isEmpty())
        return false;
    TableFile& folders = m_catalogue.folders();
    const int remembered = folders.recNo();
    if (nameTaken(name)) {
        refuseName(name);
        return false;
    }
    folders.append();
    folders.setFieldValue(QStringLiteral("FolderId"), Catalogue::newId(folders, QStringLiteral("FolderId")));
    folders.setFieldValue(kFolderName, name);
    folders.post();
    folders.saveTable();
    if (sublist)
        tree.selected()->expanded = true;
    tree.addChild(sublist ? tree.selected() : nullptr, name);
    folders.setRecNo(remembered);
    return true;
}

bool FolderListCommands::addList() {
    return addList(false);
}

bool FolderListCommands::addSublist() {
    return addList(true);
}

bool FolderListCommands::deleteList() {
    FolderTree& tree = m_catalogue.folderTree();
    FolderNode* selected = tree.selected();
    if (!selected)
        return false;
    QList<FolderNode*> subtree{selected};
    for (qsizetype i = 0; i < subtree.size(); ++i)
        for (const auto& child : subtree.at(i)->children)
            subtree.append(child.get());
    for (const FolderNode* node : subtree)
        if (node->text == kGeneral) {
            m_prompter.message(QStringLiteral("General folder can not be deleted"));
            return false;
        }
    if (m_prompter.confirm(QStringLiteral("Delete list? All of your files in the list will be deleted"),
                           Prompter::Buttons::OkCancel, Prompter::Answer::Cancel) != Prompter::Answer::Ok)
        return false;
    TableFile& folders = m_catalogue.folders();
    if (!folders.locate(kFolderName, selected->text))
        return false;
    // Sublists first, the selected list last, so the selected folder's row is current at the end.
    try {
        for (qsizetype i = subtree.size() - 1; i >= 0; --i) {
            if (!folders.locate(kFolderName, subtree.at(i)->text))
                continue;
            m_catalogue.deleteRecordingsOfFolder(folders.fieldText(QStringLiteral("FolderID")));
            folders.deleteRecord();
            folders.saveTable();
        }
    } catch (const TableError& error) {
        // A recording whose file name cannot be made stays, and so does its list.
        m_prompter.message(error.message(), Prompter::Icon::Error);
        return true;
    }
    tree.remove(selected);
    // The tree shows the folder that became current.
    if (folders.recordCount() > 0)
        tree.setSelected(tree.find(folders.fieldText(kFolderName)));
    return true;
}

bool FolderListCommands::renameList() {
    FolderTree& tree = m_catalogue.folderTree();
    FolderNode* selected = tree.selected();
    if (!selected)
        return false;
    if (selected->text == kGeneral) {
        m_prompter.message(QStringLiteral("General folder can not be renamed"));
        return false;
    }
    const QString old = selected->text;
    QString name;
    do {
        name = cleanName(
            m_prompter.inputBox(QStringLiteral("Rename folder"), QStringLiteral("Give name"), old).value_or(old));
    } while (name.trimmed().isEmpty());
    if (name == old)
        return false;
    if (nameTaken(name)) {
        refuseName(name);
        return false;
    }
    TableFile& folders = m_catalogue.folders();
    if (!folders.locate(kFolderName, old))
        return false;
    folders.edit();
    folders.setFieldValue(kFolderName, name);
    folders.post();
    folders.saveTable();
    tree.setText(selected, name);
    return true;
}
