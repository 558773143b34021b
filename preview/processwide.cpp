#include "preview/processwide.h"

PreviewProcessState &previewState()
{
    static PreviewProcessState state;
    return state;
}
