// The retention settings in tvk.ini, and how a list inherits them from its parents.
#include "library/RetentionRules.h"

#include "base/Config.h"
#include "base/ConfigKeys.h"
#include "library/FolderTree.h"

std::optional<int> RetentionRules::ownDays(const QString& list) const {
    const QString text =
        m_config.readString(ConfigKeys::kRetentionSection, ConfigKeys::retentionDaysKey(list), QString()).trimmed();
    bool ok = false;
    const int days = text.toInt(&ok);
    // A value that is not a count of days is read as missing: never a reason to delete.
    if (!ok || days < 0)
        return std::nullopt;
    return days;
}

void RetentionRules::setDays(const QString& list, std::optional<int> days) {
    m_config.writeString(ConfigKeys::kRetentionSection, ConfigKeys::retentionDaysKey(list),
                         days ? QString::number(*days) : QString());
}

bool RetentionRules::ownProtected(const QString& list) const {
    return m_config.readBool(ConfigKeys::kRetentionSection, ConfigKeys::retentionProtectedKey(list), false);
}

void RetentionRules::setProtected(const QString& list, bool on) {
    m_config.writeBool(ConfigKeys::kRetentionSection, ConfigKeys::retentionProtectedKey(list), on);
}

int RetentionRules::capMegabytes() const {
    return qMax(0, m_config.read(ConfigKeys::kRetentionCap));
}

void RetentionRules::setCapMegabytes(int megabytes) {
    m_config.writeInteger(ConfigKeys::kRetentionCap, qMax(0, megabytes));
}

ListRetention RetentionRules::effective(const FolderTree& tree, const QString& list) const {
    ListRetention result;
    std::optional<int> days;
    const FolderNode* node = tree.find(list);
    if (!node) {
        days = ownDays(list);
        result.protectedList = ownProtected(list);
    }
    // From the list up to its top-level list: the nearest days count, any protection counts.
    for (; node; node = node->parent) {
        if (!days)
            days = ownDays(node->text);
        result.protectedList = result.protectedList || ownProtected(node->text);
    }
    result.days = days.value_or(0);
    return result;
}
