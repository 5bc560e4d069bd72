#pragma once
// The question asked at start when an earlier session left a recovery copy
// (SessionRecovery.h): "Restore the text of the session that ended on
// <date>?", the date in the locale's short date and time format.
#include "app/SessionRecovery.h"

#include <QLocale>
#include <QString>

// `written` TimePoint{} (not known) asks about "an earlier session".
QString RecoveryQuestionText(SessionRecovery::TimePoint written, const QLocale& locale = QLocale());
