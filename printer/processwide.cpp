#include "printer/processwide.h"

PrinterProcessState &printerState()
{
    static PrinterProcessState state;
    return state;
}
