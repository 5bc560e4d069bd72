#include "app/RecoveryQuestion.h"

#include <QDateTime>

QString RecoveryQuestionText(SessionRecovery::TimePoint written, const QLocale& locale)
{
    if (written == SessionRecovery::TimePoint{})
        return QStringLiteral("Restore the text of an earlier session?");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(written.time_since_epoch()).count();
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(ms);
    return QStringLiteral("Restore the text of the session that ended on %1?")
        .arg(locale.toString(when, QLocale::ShortFormat));
}
