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
    return QStringLiteral("筆順資料先取依臺灣教育部標準字體書寫的 AnimCJK 資料，其次取 hanzi-writer-data"
                          "（依中國大陸規範）；筆畫的字形與描紅字不同的字，範字不標筆順號碼。");
}
QString strokeDataMissing(const QString &path)
{
    return QStringLiteral("筆順資料檔「%1」無法讀取，只有它有的字以楷書字形代替。").arg(path);
}
QString drawnWithoutStrokeNumbers(const QString &characters)
{
    return QStringLiteral("不標筆順號碼（沒有與描紅字同一字形的筆順資料）：%1").arg(characters);
}
QString noFaceHas(const QString &characters)
{
    return QStringLiteral("已安裝的字型都沒有「%1」，這些格子留空。").arg(characters);
}

} // namespace appstrings
