#include "platform/PortalRequestWaiter.h"

void PortalRequestWaiter::OnResponse(uint response, const QVariantMap& results)
{
    if (answer_)
        return;
    answer_ = Answer { response, results };
    emit Answered();
}
