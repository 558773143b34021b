#include "platform/processwide.h"

PlatformProcessState &platformState()
{
    static PlatformProcessState state;
    return state;
}
