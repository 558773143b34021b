// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the description reader and writer.
#include <QString>

namespace desc::strings {

inline QString atLine(int line, int column, const QString &what)
{
    if (column > 0)
        return QStringLiteral("Line %1, column %2: %3").arg(line).arg(column).arg(what);
    return QStringLiteral("Line %1: %2").arg(line).arg(what);
}

// Syntax
inline QString unexpectedEnd() { return QStringLiteral("unexpected end of the description"); }
inline QString expected(const QString &what, const QString &found)
{
    return QStringLiteral("expected %1, found %2").arg(what, found);
}
inline QString unterminatedString() { return QStringLiteral("unterminated string"); }
inline QString badCharacterCode() { return QStringLiteral("bad character code"); }
inline QString badNumber(const QString &text) { return QStringLiteral("bad number '%1'").arg(text); }
inline QString numberOutOfRange(const QString &text) { return QStringLiteral("number out of range '%1'").arg(text); }
inline QString badBinary() { return QStringLiteral("bad binary data"); }
inline QString badCharacter(const QString &c) { return QStringLiteral("unexpected character '%1'").arg(c); }
inline QString badUtf8() { return QStringLiteral("text is not valid UTF-8"); }
inline QString missingEnd(const QString &name) { return QStringLiteral("missing 'end' of object '%1'").arg(name); }
inline QString nestingTooDeep() { return QStringLiteral("nesting too deep"); }
inline QString textAfterEnd() { return QStringLiteral("text after the end of the outermost object"); }
inline QString duplicateProperty(const QString &name) { return QStringLiteral("property '%1' given twice").arg(name); }

// Meaning
inline QString unknownClass(const QString &name) { return QStringLiteral("unknown class '%1'").arg(name); }
inline QString cannotCreate(const QString &name) { return QStringLiteral("class '%1' cannot be created").arg(name); }
inline QString wrongRootClass(const QString &found, const QString &wanted)
{
    return QStringLiteral("object of class '%1' where '%2' is expected").arg(found, wanted);
}
inline QString unknownProperty(const QString &path, const QString &cls)
{
    return QStringLiteral("unknown property '%1' of class '%2'").arg(path, cls);
}
inline QString notASubObject(const QString &name) { return QStringLiteral("'%1' has no properties of its own").arg(name); }
inline QString noSubObject(const QString &name) { return QStringLiteral("object has no '%1' at the moment").arg(name); }
inline QString noChildren(const QString &cls) { return QStringLiteral("class '%1' cannot hold objects").arg(cls); }
inline QString unknownComponent(const QString &name) { return QStringLiteral("unknown component '%1'").arg(name); }
inline QString wrongComponentClass(const QString &name) { return QStringLiteral("component '%1' has the wrong class").arg(name); }
inline QString badValue(const QString &prop, const QString &why) { return QStringLiteral("bad value for '%1': %2").arg(prop, why); }

// Values
inline QString expectedKind(const QString &want, const QString &found) { return QStringLiteral("expected %1, found %2").arg(want, found); }
inline QString notABoolean(const QString &found) { return QStringLiteral("'%1' is not True or False").arg(found); }
inline QString integerOutOfRange(qint64 v) { return QStringLiteral("integer %1 out of range").arg(v); }
inline QString unknownEnumName(const QString &name, const QString &type)
{
    return QStringLiteral("'%1' is not a value of %2").arg(name, type);
}
inline QString wrongListCount(qsizetype want, qsizetype found)
{
    return QStringLiteral("expected a list of %1 numbers, found %2").arg(want).arg(found);
}
inline QString notStorable(const QString &prop) { return QStringLiteral("cannot store the value of '%1'").arg(prop); }
inline QString nonFiniteNumber() { return QStringLiteral("a number that is not finite cannot be stored"); }

} // namespace desc::strings
