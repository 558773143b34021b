// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/appstrings.h"

#include <QCoreApplication>

namespace appstrings {

QString windowCaption() { return QStringLiteral("Tovrel"); }
QString fontNote() { return QStringLiteral("註：此程式需配合華康金碟「筆順體」及「虛線體」使用。"); }
QString label2() { return QStringLiteral("Label2"); }
QString wordLimitNote() { return QStringLiteral("注意：程式最多支持四字詞"); }
QString initialWord() { return QStringLiteral("變"); }
// The window's English texts are the sources of their translations.
QString printButton() { return QCoreApplication::translate("Worksheet", "Print"); }
QString pageCaption(int index) { return QCoreApplication::translate("Worksheet", "Page%1").arg(index + 1); }
QString wordTooLong() { return QStringLiteral("錯誤: 程式最多支持四字詞"); }
QString fontStandsIn(const QString &wanted, const QString &standIn)
{
    return QStringLiteral("字型「%1」未安裝，以「%2」代替。").arg(wanted, standIn);
}

QString strokeFaceSynthesised(const QString &standIn)
{
    return QStringLiteral("字型「華康標楷筆順體」未安裝，以程式合成的筆順字代替：筆畫取自開放筆順資料，"
                          "標上筆順號碼，大小與位置依「%1」。")
        .arg(standIn);
}
QString tracingFaceSynthesised(const QString &standIn)
{
    return QStringLiteral("字型「華康標楷虛線體」未安裝，以程式合成的虛線字代替：以虛線描出「%1」的字形外框。").arg(standIn);
}
QString strokeOrderConvention()
{
    return QStringLiteral("開放筆順資料依中國大陸的筆順規範，部分字（如「兜」、「黑」及「艹」部件）"
                          "與臺灣、香港的筆順不同。");
}

} // namespace appstrings
