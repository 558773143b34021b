#include "report/processwide.h"

ReportProcessState &reportState()
{
    static ReportProcessState state;
    return state;
}
