#include "frame/RecoveryStart.h"

#include "app/CVELTRANApp.h"
#include "app/RecoveryQuestion.h"
#include "app/SessionRecovery.h"
#include "frame/DocumentController.h"

void RecoveryStart::Ask(const AskFn& ask)
{
    const std::optional<SessionRecovery::TimePoint> written = m_recovery.Pending();
    if (!written)
        return;
    m_bRestore = ask(RecoveryQuestionText(*written));
    if (!m_bRestore)
        m_recovery.Remove();
}

bool RecoveryStart::Apply(DocumentController& docs, CVELTRANApp& app)
{
    docs.SetRecovery(&m_recovery);
    app.SetRecovery(&m_recovery);
    if (!m_bRestore)
        return true;
    m_bRestore = false;
    return docs.RestoreRecovery();
}
