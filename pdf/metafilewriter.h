#pragma once
// Makes the PDF document filter the writer of RpPrinter::exportMetafile
// (recorded pages as pictures). The program does this once at start-up.
void registerPdfMetafileWriter();
