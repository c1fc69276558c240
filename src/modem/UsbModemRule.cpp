// sysfs links each tty to its device; the USB device's ids sit a few folders above the tty's own.
#include "modem/UsbModemRule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString readId(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString id = QString::fromLatin1(file.read(16)).trimmed().toLower();
    static const QRegularExpression hex4(QStringLiteral("^[0-9a-f]{4}$"));
    return hex4.match(id).hasMatch() ? id : QString();
}

} // namespace

std::optional<UsbDeviceIds> UsbModemRule::idsOf(const QString& device, const QString& sysRoot) {
    const QString real = QFileInfo(device).canonicalFilePath();
    if (real.isEmpty())
        return std::nullopt;
    const QString name = QFileInfo(real).fileName();
    const QString root = QFileInfo(sysRoot).canonicalFilePath();
    QString folder =
        QFileInfo(sysRoot + QStringLiteral("/class/tty/") + name + QStringLiteral("/device")).canonicalFilePath();
    while (!folder.isEmpty() && folder != root && folder.startsWith(root)) {
        const QString vendor = readId(folder + QStringLiteral("/idVendor"));
        const QString product = readId(folder + QStringLiteral("/idProduct"));
        if (!vendor.isEmpty() && !product.isEmpty())
            return UsbDeviceIds{vendor, product};
        folder = QFileInfo(folder).path();
    }
    return std::nullopt;
}

QString UsbModemRule::ruleFor(const UsbDeviceIds& ids) {
    return QStringLiteral("SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"%1\", ATTRS{idProduct}==\"%2\", "
                          "ENV{ORLAMO_MODEM}=\"1\", SYMLINK+=\"orlamo-modem\"")
        .arg(ids.vendor, ids.product);
}
