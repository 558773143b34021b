#include "printer/abstractexportfilter.h"

#include "printer/processwide.h"

TextEncoding RpPAbstractExportFilter::textEncoding() { return printerState().textEncoding; }
void RpPAbstractExportFilter::setTextEncoding(TextEncoding e) { printerState().textEncoding = e; }
