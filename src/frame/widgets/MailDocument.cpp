#include "frame/widgets/MailDocument.h"

#include "app/CVELTRANDoc.h"
#include "views/FrameStatus.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

void MailDocument(CVELTRANDoc& doc, FrameStatus& status)
{
    const QString copy = QDir(QDir::tempPath()).filePath(QStringLiteral("VELTRAN.rty"));
    const QByteArray local = copy.toLocal8Bit();
    const bool wasModified = doc.IsModified();
    std::string error;
    const bool saved = doc.SaveFile(std::string(local.constData(), static_cast<size_t>(local.size())), &error);
    doc.SetModified(wasModified);
    const QString xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (saved && !xdgEmail.isEmpty() &&
        QProcess::startDetached(xdgEmail, {QStringLiteral("--subject"), QStringLiteral("VELTRAN Document"),
                                           QStringLiteral("--attach"), copy}))
        return;
    if (!QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:?subject=VELTRAN%20Document"))))
        status.SetMessageText(QStringLiteral("No mail program is set up on this desktop."));
}
