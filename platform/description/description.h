// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing stored descriptions: the text form of an object tree.
//
//   object rpt1: TReport
//     Top = -24
//     Page.Values = (
//       100.0
//       2970.0)
//     Options = [FirstPageHeader, LastPageFooter]
//     object RpBand2: TRpBand
//       BandType = rbTitle
//       object A8: TRpLabel
//         Caption = '儲'
//       end
//     end
//   end
//
// Children stand inside their parent's block; `Name.Sub = value` reaches a
// sub-object's property. Text is UTF-8. See value.h for the value forms and
// registry.h for how classes make themselves describable.
//
// Reading is all or nothing: the text is parsed and every class, property
// and value checked against the registry before any object is made; should
// a setter still refuse a value, every object made so far is destroyed
// again. Then references are resolved and `Loaded` runs once on every object
// read (parents before children). Errors are DescriptionError, naming the
// line and column.
//
// Writing lists each object's properties in registration order (base class
// first), leaves out those equal to their declared default, and writes
// numbers in the shortest form that reads back to the same double, with a
// '.' whatever the locale says.
#include "platform/description/registry.h"
#include "platform/rperror.h"

#include <QByteArray>

namespace desc {

// message() is "Line 12, column 5: unknown property 'Foo' of class 'TRpBand'";
// reason() is the same without the position, for callers that put the
// position into their own text.
class DescriptionError : public RpError {
public:
    DescriptionError(const QString &message, int line, int column, const QString &reason = QString());
    int line() const { return m_line; }
    int column() const { return m_column; }
    const QString &reason() const { return m_reason.isEmpty() ? message() : m_reason; }

private:
    int m_line;
    int m_column;
    QString m_reason;
};

// Reads a description and makes its outermost object with its class's
// factory (CreateContext::owner = `owner`). The caller owns the result (or
// `owner` does, if the factory gave it that parent). With `expected` set,
// the outermost class must be that class or derive from it.
ObjectRef read(const Registry &registry, const QByteArray &text, QObject *owner = nullptr,
               const ClassInfo *expected = nullptr);

// As read(), for an outermost object that must be a T (or derive from it);
// a description of another class fails and makes nothing.
template <class T> T *readAs(const Registry &registry, const QByteArray &text, QObject *owner = nullptr);

// Reads a description into an existing object: its properties are set and
// the children described are made and given to it. The outermost block's
// class must be the object's class or an ancestor of it. The object's name
// is left alone. On failure the children made are destroyed again; the
// object's own properties are not touched unless every check has passed.
void readInto(const Registry &registry, const QByteArray &text, ObjectRef root);

// The description of `root` and everything below it.
QByteArray write(const Registry &registry, ObjectRef root);

// Deepest nesting of object blocks and of lists the reader accepts.
constexpr int MaxNesting = 100;

// ---------------------------------------------------------------------------

template <class T> T *readAs(const Registry &registry, const QByteArray &text, QObject *owner)
{
    const ClassInfo *wanted = registry.template classOf<T>();
    if (!wanted)
        throw DescriptionError(QStringLiteral("class not registered"), 0, 0);
    return read(registry, text, owner, wanted).template as<T>();
}

} // namespace desc
