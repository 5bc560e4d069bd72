#include "views/SendQueue.h"

#include "views/SendJob.h"

SendQueue::SendQueue() = default;
SendQueue::~SendQueue() = default;

bool SendQueue::Submit(std::unique_ptr<SendJob> job)
{
    if (job)
        m_jobs.push_back(std::move(job));
    return Pump();
}

bool SendQueue::Pump()
{
    if (m_bPumping)
        return Busy();
    m_bPumping = true;
    while (!m_jobs.empty()) {
        const SendJob::Progress progress = m_jobs.front()->Run();
        if (m_bCancelled) {
            m_jobs.clear();
            break;
        }
        if (progress == SendJob::Progress::kWaiting)
            break;
        m_jobs.pop_front();
    }
    m_bCancelled = false;
    m_bPumping = false;
    return Busy();
}

void SendQueue::Cancel()
{
    if (m_bPumping) {
        // Called from inside a step: the running job is dropped once its Run returns.
        m_bCancelled = true;
        return;
    }
    m_jobs.clear();
}
