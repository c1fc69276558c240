// How long the recordings of each list are kept, which lists are protected, and the size cap.
#pragma once

#include <QString>
#include <optional>

class Config;
class FolderTree;

/// What applies to one list after its parents are taken into account.
struct ListRetention {
    int days = 0;               ///< recordings older than this many days go; 0 keeps them for ever
    bool protectedList = false; ///< nothing in the list is ever deleted automatically
};

/// The retention settings of tvk.ini ([Retention]). A list without its own days follows its parent
/// list (a top-level list keeps for ever); a list is protected when it or any parent is.
///
///     RetentionRules rules(config);
///     rules.setDays(QStringLiteral("Sales"), 30);
///     ListRetention sales = rules.effective(catalogue.folderTree(), QStringLiteral("Sales"));
class RetentionRules {
public:
    explicit RetentionRules(Config& config) : m_config(config) {}

    /// The list's own days: 0 for ever, nothing when it follows its parent.
    std::optional<int> ownDays(const QString& list) const;
    /// Days 0 keeps for ever; nothing makes the list follow its parent again.
    void setDays(const QString& list, std::optional<int> days);
    bool ownProtected(const QString& list) const;
    void setProtected(const QString& list, bool on);
    /// The cap on the catalogue's total size in megabytes; 0 means none.
    int capMegabytes() const;
    void setCapMegabytes(int megabytes);

    /// The list's rule along its path in `tree`; a name the tree lacks counts as a top-level list.
    ListRetention effective(const FolderTree& tree, const QString& list) const;

private:
    Config& m_config;
};
