#include "app/appstrings.h"

namespace appstrings {

QString windowCaption() { return QStringLiteral("Tovrel"); }
QString fontNote() { return QStringLiteral("註：此程式需配合華康金碟「筆順體」及「虛線體」使用。"); }
QString label2() { return QStringLiteral("Label2"); }
QString wordLimitNote() { return QStringLiteral("注意：程式最多支持四字詞"); }
QString initialWord() { return QStringLiteral("變"); }
QString printButton() { return QStringLiteral("Print"); }
QString pageCaption(int index) { return QStringLiteral("Page%1").arg(index + 1); }
QString wordTooLong() { return QStringLiteral("錯誤: 程式最多支持四字詞"); }
QString fontStandsIn(const QString &wanted, const QString &standIn)
{
    return QStringLiteral("字型「%1」未安裝，以「%2」代替。").arg(wanted, standIn);
}

} // namespace appstrings
