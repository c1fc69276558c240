// A forwarded catalogue command on the catalogue of the running program.
#include "program/ForwardedCommands.h"

#include "library/Catalogue.h"
#include "program/CatalogueCommands.h"
#include "program/CommandLinePrompter.h"

#include <QFileInfo>
#include <QTextStream>
#include <exception>

namespace {

bool sameFolder(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

/// The commands find their recordings and lists by moving the tables' cursors and the tree's
/// selection. The window shows those, and a call that ends is filed in the selected list, so they
/// are put back afterwards where they still exist.
class KeptSelection {
public:
    explicit KeptSelection(Catalogue& catalogue) : m_catalogue(catalogue) {
        TableFile& folders = catalogue.folders();
        if (folders.active() && folders.recordCount() > 0)
            m_folderId = folders.fieldText(QStringLiteral("FolderId"));
        m_hadSelection = catalogue.folderTree().selected() != nullptr;
        TableFile& recordings = catalogue.recordings();
        if (recordings.active() && recordings.recordCount() > 0)
            m_recordingId = recordings.fieldText(QStringLiteral("id"));
    }
    KeptSelection(const KeptSelection&) = delete;
    KeptSelection& operator=(const KeptSelection&) = delete;

    ~KeptSelection() {
        try {
            restore();
        } catch (...) {
            // A table that cannot be read any more keeps the cursor where the command left it.
        }
    }

private:
    void restore() {
        TableFile& folders = m_catalogue.folders();
        if (m_folderId.isEmpty() || !folders.active() || !folders.locate(QStringLiteral("FolderId"), m_folderId))
            return;
        // The list may have been renamed: its node has the name its row has now.
        FolderNode* node = m_catalogue.folderTree().find(folders.fieldText(QStringLiteral("FolderName")));
        if (m_hadSelection && node && m_catalogue.folderTree().selected() != node)
            m_catalogue.selectNode(node);
        TableFile& recordings = m_catalogue.recordings();
        if (!m_recordingId.isEmpty() && recordings.active())
            recordings.locate(QStringLiteral("id"), m_recordingId);
    }

    Catalogue& m_catalogue;
    QString m_folderId;
    QString m_recordingId;
    bool m_hadSelection = false;
};

} // namespace

ForwardedCommands::ForwardedCommands(Catalogue& catalogue, QString workDir, std::function<QString()> webAddress)
    : m_catalogue(catalogue), m_workDir(std::move(workDir)), m_webAddress(std::move(webAddress)) {}

CommandProtocol::Answer ForwardedCommands::run(const CommandProtocol::Request& request) {
    CommandProtocol::Answer answer;
    QTextStream out(&answer.out);
    QTextStream err(&answer.err);
    answer.status = execute(request, err);
    out.flush();
    err.flush();
    return answer;
}

int ForwardedCommands::execute(const CommandProtocol::Request& request, QTextStream& err) {
    if (!CatalogueCommands::isForwardable(request.command)) {
        err << "orlamo-cli: the running recorder does not take the command '" << request.command << "'\n";
        return 2;
    }
    if (!sameFolder(request.workDir, m_workDir)) {
        err << "orlamo-cli " << request.command << ": the running recorder works in another folder\n";
        return 2;
    }
    const CatalogueCommand command =
        CatalogueCommands::prepare(request.command, request.args, m_workDir, m_webAddress, err);
    if (!command.work)
        return 2;
    CommandLinePrompter prompter(err, command.name);
    try {
        const KeptSelection kept(m_catalogue);
        const int code = command.work(m_catalogue, prompter);
        return code == 0 && prompter.messages > 0 ? 1 : code;
    } catch (const std::exception& e) {
        // As orlamo-cli's own end tells the project's errors.
        err << "orlamo-cli " << request.command << ": " << e.what() << '\n';
        return 1;
    }
}
