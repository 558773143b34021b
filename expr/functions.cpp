// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/functions.h"

#include "expr/exprstrings.h"
#include "expr/numberpicture.h"
#include "platform/units.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

using namespace exprstrings;

namespace {

const char *const kVendor = "Tovrel";

RpEvResult wrongArguments(const QString &name)
{
    return RpEvResult::error(text(WrongArgumentsFmt).arg(name));
}

// An argument count other than one: "Missing argument" for none, "Too many
// arguments" for more.
RpEvResult argumentCountError(const QString &name, int count)
{
    return RpEvResult::error(count == 0 ? text(MissingArgumentFmt).arg(name) : text(TooManyArguments));
}

class FnIf : public RpEvElementFunction {
public:
    FnIf() : RpEvElementFunction(QStringLiteral("IF")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n == 3 && a[0].kind == resBool)
            r = a[0].booResult ? a[1] : a[2];
        else
            r = wrongArguments(QStringLiteral("IF"));
    }
};

class FnStr : public RpEvElementFunction {
public:
    FnStr() : RpEvElementFunction(QStringLiteral("STR")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n == 1 && (a[0].isNumeric() || a[0].kind == resBool))
            r = RpEvResult::fromString(rpResultText(a[0]));
        else
            r = RpEvResult::error(text(ConversionError));
    }
};

// UPPER, LOWER and PRETTY.
class FnCase : public RpEvElementFunction {
public:
    enum Mode { Upper, Lower, Pretty };
    FnCase(const QString &name, Mode mode) : RpEvElementFunction(name), m_mode(mode) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n != 1) {
            r = RpEvResult::error(text(MissingArgumentFmt).arg(m_name));
            return;
        }
        if (a[0].kind != resString) {
            r = wrongArguments(m_name);
            return;
        }
        const QString &s = a[0].stringVal;
        switch (m_mode) {
        case Upper: r = RpEvResult::fromString(s.toUpper()); break;
        case Lower: r = RpEvResult::fromString(s.toLower()); break;
        case Pretty: {
            // The first character is a whole code point: a surrogate pair
            // stays together.
            qsizetype head = 1;
            if (s.size() >= 2 && s.at(0).isHighSurrogate() && s.at(1).isLowSurrogate())
                head = 2;
            r = RpEvResult::fromString(s.left(head).toUpper() + s.mid(head).toLower());
            break;
        }
        }
    }

private:
    Mode m_mode;
};

class FnClock : public RpEvElementFunction {
public:
    FnClock(const QString &name, bool date) : RpEvElementFunction(name), m_date(date) {}
    void calculate(const RpEvResult *, int n, RpEvResult &r) override
    {
        if (n > 0) {
            r = RpEvResult::error(text(TooManyArguments));
            return;
        }
        const QDateTime now = rpExpressionNow();
        r = RpEvResult::fromString(m_date ? rpLocaleDateText(now) : rpLocaleTimeText(now));
    }

private:
    bool m_date;
};

class FnCopy : public RpEvElementFunction {
public:
    FnCopy() : RpEvElementFunction(QStringLiteral("COPY")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n != 3 || a[0].kind != resString || a[1].kind != resInt || a[2].kind != resInt) {
            r = wrongArguments(m_name);
            return;
        }
        const QString &s = a[0].stringVal;
        qsizetype start = std::max<qsizetype>(a[1].intResult, 1) - 1;
        const qsizetype len = a[2].intResult;
        if (start >= s.size() || len <= 0) {
            r = RpEvResult::fromString(QString());
            return;
        }
        if (s.at(start).isLowSurrogate())
            ++start;
        QString sub = s.mid(start, len);
        if (!sub.isEmpty() && sub.back().isHighSurrogate())
            sub.chop(1);
        r = RpEvResult::fromString(sub);
    }
};

// Running numeric total of SUM and AVERAGE. Integers and floats are summed
// apart; as soon as a float is taken in, the total is a float.
class NumericTotal {
public:
    // A value that is not numeric (or an error) makes the total an error.
    void add(const RpEvResult &v, const QString &name)
    {
        if (m_error)
            return;
        if (v.isError()) {
            m_error = v.stringVal;
        } else if (v.kind == resInt) {
            m_intTotal += v.intResult;
        } else if (v.kind == resDouble) {
            m_dblTotal += v.dblResult;
            m_float = true;
        } else {
            m_error = text(WrongArgumentsFmt).arg(name);
        }
    }
    RpEvResult total() const
    {
        if (m_error)
            return RpEvResult::error(*m_error);
        if (m_float)
            return RpEvResult::fromDouble(double(m_intTotal) + m_dblTotal);
        return RpEvResult::fromInt64(m_intTotal);
    }
    double sum() const { return double(m_intTotal) + m_dblTotal; }
    const std::optional<QString> &error() const { return m_error; }
    void clear() { *this = NumericTotal(); }

private:
    int64_t m_intTotal = 0;
    double m_dblTotal = 0;
    bool m_float = false;
    std::optional<QString> m_error;
};

class FnSum : public RpEvElementFunction {
public:
    FnSum() : RpEvElementFunction(QStringLiteral("SUM"), true) {}
    void aggregate(const RpEvResult *a, int n) override
    {
        if (n == 1)
            m_total.add(a[0], m_name);
    }
    void calculate(const RpEvResult *, int n, RpEvResult &r) override
    {
        r = n == 1 ? m_total.total() : argumentCountError(m_name, n);
    }
    void reset() override { m_total.clear(); }

private:
    NumericTotal m_total;
};

class FnAverage : public RpEvElementFunction {
public:
    FnAverage() : RpEvElementFunction(QStringLiteral("AVERAGE"), true) {}
    void aggregate(const RpEvResult *a, int n) override
    {
        if (n != 1)
            return;
        m_total.add(a[0], m_name);
        ++m_passes;
    }
    void calculate(const RpEvResult *, int n, RpEvResult &r) override
    {
        if (n != 1)
            r = argumentCountError(m_name, n);
        else if (m_total.error())
            r = RpEvResult::error(*m_total.error());
        else
            r = RpEvResult::fromDouble(m_passes == 0 ? 0.0 : m_total.sum() / double(m_passes));
    }
    void reset() override
    {
        m_total.clear();
        m_passes = 0;
    }

private:
    NumericTotal m_total;
    int64_t m_passes = 0;
};

class FnCount : public RpEvElementFunction {
public:
    FnCount() : RpEvElementFunction(QStringLiteral("COUNT"), true) {}
    void aggregate(const RpEvResult *, int) override { ++m_count; }
    void calculate(const RpEvResult *, int n, RpEvResult &r) override
    {
        if (n > 0)
            r = RpEvResult::error(QStringLiteral("COUNT - ") + text(TooManyArguments));
        else
            r = RpEvResult::fromInt64(m_count);
    }
    void reset() override { m_count = 0; }

private:
    int64_t m_count = 0;
};

// MAX and MIN: numbers compare by value, strings by code unit, booleans
// with false below true; a value of another kind (or of a kind that does not
// compare with the kept one) makes the result an error until Reset.
class FnExtreme : public RpEvElementFunction {
public:
    FnExtreme(const QString &name, bool max) : RpEvElementFunction(name, true), m_max(max) {}
    void aggregate(const RpEvResult *a, int n) override
    {
        if (n != 1 || m_error)
            return;
        const RpEvResult &v = a[0];
        if (v.isError()) {
            m_error = v.stringVal;
            return;
        }
        if (!m_has) {
            m_kept = v;
            m_has = true;
            return;
        }
        int c = 0;
        if (v.isNumeric() && m_kept.isNumeric()) {
            const double x = v.number(), y = m_kept.number();
            c = x < y ? -1 : (x > y ? 1 : 0);
        } else if (v.kind == resString && m_kept.kind == resString) {
            c = QStringView(v.stringVal).compare(QStringView(m_kept.stringVal));
        } else if (v.kind == resBool && m_kept.kind == resBool) {
            c = int(v.booResult) - int(m_kept.booResult);
        } else {
            m_error = text(WrongArgumentsFmt).arg(m_name);
            return;
        }
        if (m_max ? c > 0 : c < 0)
            m_kept = v;
    }
    void calculate(const RpEvResult *, int n, RpEvResult &r) override
    {
        if (n != 1)
            r = argumentCountError(m_name, n);
        else if (m_error)
            r = RpEvResult::error(*m_error);
        else
            r = m_has ? m_kept : RpEvResult::fromInt(0);
    }
    void reset() override
    {
        m_has = false;
        m_kept = RpEvResult();
        m_error.reset();
    }

private:
    bool m_max;
    bool m_has = false;
    RpEvResult m_kept;
    std::optional<QString> m_error;
};

class FnBoolean : public RpEvElementFunction {
public:
    FnBoolean(const QString &name, bool v) : RpEvElementFunction(name), m_value(v) {}
    void calculate(const RpEvResult *, int n, RpEvResult &r) override
    {
        r = n > 0 ? RpEvResult::error(text(TooManyArguments)) : RpEvResult::fromBool(m_value);
    }

private:
    bool m_value;
};

class FnInt : public RpEvElementFunction {
public:
    FnInt() : RpEvElementFunction(QStringLiteral("INT")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n == 1 && a[0].kind == resInt) {
            r = a[0];
        } else if (n == 1 && a[0].kind == resDouble && std::isfinite(a[0].dblResult)) {
            const double t = std::trunc(a[0].dblResult);
            // A part too large for 32 bits stays a float.
            if (t >= std::numeric_limits<int32_t>::min() && t <= std::numeric_limits<int32_t>::max())
                r = RpEvResult::fromInt(int32_t(t));
            else
                r = RpEvResult::fromDouble(t);
        } else {
            r = wrongArguments(m_name);
        }
    }
};

class FnFrac : public RpEvElementFunction {
public:
    FnFrac() : RpEvElementFunction(QStringLiteral("FRAC")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n == 1 && a[0].kind == resInt)
            r = RpEvResult::fromDouble(0.0);
        else if (n == 1 && a[0].kind == resDouble)
            r = RpEvResult::fromDouble(a[0].dblResult - std::trunc(a[0].dblResult));
        else
            r = wrongArguments(m_name);
    }
};

class FnSqrt : public RpEvElementFunction {
public:
    FnSqrt() : RpEvElementFunction(QStringLiteral("SQRT")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n == 1 && a[0].isNumeric() && a[0].number() >= 0)
            r = RpEvResult::fromDouble(std::sqrt(a[0].number()));
        else
            r = RpEvResult::error(text(InvalidSqrtArgument));
    }
};

class FnDiv : public RpEvElementFunction {
public:
    FnDiv() : RpEvElementFunction(QStringLiteral("DIV")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        int64_t x = 0, y = 0;
        if (n != 2 || !operand(a[0], x) || !operand(a[1], y)) {
            r = wrongArguments(m_name);
            return;
        }
        if (y == 0) {
            r = RpEvResult::error(text(DivisionByZero));
            return;
        }
        r = RpEvResult::fromInt64(x / y); // truncates toward zero
    }

private:
    // Integers as they are, floats rounded; a float beyond 2^62 does not
    // take part in integer division.
    static bool operand(const RpEvResult &v, int64_t &out)
    {
        if (v.kind == resInt) {
            out = v.intResult;
            return true;
        }
        if (v.kind != resDouble)
            return false;
        const double d = rpRoundFloat(v.dblResult);
        if (!std::isfinite(d) || std::fabs(d) > 4.6e18)
            return false;
        out = int64_t(d);
        return true;
    }
};

class FnTypeOf : public RpEvElementFunction {
public:
    FnTypeOf() : RpEvElementFunction(QStringLiteral("TYPEOF")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n != 1) {
            r = wrongArguments(QStringLiteral("TypeOf"));
            return;
        }
        static const char *const names[] = {"INTEGER", "FLOAT", "STRING", "BOOLEAN", "ERROR"};
        r = RpEvResult::fromString(QString::fromLatin1(names[a[0].kind]));
    }
};

class FnFormatNumeric : public RpEvElementFunction {
public:
    FnFormatNumeric() : RpEvElementFunction(QStringLiteral("FORMATNUMERIC")) {}
    void calculate(const RpEvResult *a, int n, RpEvResult &r) override
    {
        if (n != 2 || a[0].kind != resString || !a[1].isNumeric()) {
            r = wrongArguments(m_name);
            return;
        }
        if (auto s = rpFormatNumberPicture(a[0].stringVal, a[1].number()))
            r = RpEvResult::fromString(*s);
        else
            r = RpEvResult::error(text(InvalidFormatOrValue));
    }
};

template <typename F, typename... Args>
RpFunctionFactory factory(Args... args)
{
    return [=] { return std::unique_ptr<RpEvElementFunction>(new F(args...)); };
}

std::function<QDateTime()> &clockHook()
{
    static std::function<QDateTime()> hook;
    return hook;
}

// The locale's long time format without its time zone.
QString timeFormat()
{
    const QString f = QLocale().timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : f) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out.append(c);
    }
    return out.trimmed();
}

} // namespace

void RpEvElementFunction::value(RpEvResult *args, int count, bool aggregating, RpEvResult &result)
{
    if (aggregating && m_isAggreg)
        aggregate(args, count);
    calculate(args, count, result);
}

QString RpLibraryEntry::signature() const
{
    const qsizetype bar = data.indexOf(u'|');
    return (bar < 0 ? data : data.left(bar)).trimmed();
}

QString RpLibraryEntry::description() const
{
    const qsizetype bar = data.indexOf(u'|');
    return bar < 0 ? QString() : data.mid(bar + 1).trimmed();
}

int RpLibraryEntry::categoryNumber() const
{
    if (argCode.isEmpty() || !argCode.at(0).isDigit())
        return -1;
    return argCode.at(0).digitValue();
}

QString RpLibraryEntry::category() const
{
    return RpFunctionLibrary::categoryName(categoryNumber());
}

QString RpFunctionLibrary::categoryName(int number)
{
    switch (number) {
    case 0: return text(CategoryAll);
    case 1: return text(CategoryDateTime);
    case 2: return text(CategoryMath);
    case 3: return text(CategoryStatistical);
    case 4: return text(CategoryDatabase);
    case 5: return text(CategoryLogical);
    case 6: return text(CategoryInformation);
    case 7: return text(CategoryOther);
    default: return QString();
    }
}

RpFunctionLibrary &RpFunctionLibrary::instance()
{
    static RpFunctionLibrary library;
    return library;
}

void RpFunctionLibrary::add(RpLibraryEntry entry)
{
    entry.name = entry.name.toUpper();
    for (auto &e : m_entries) {
        if (e.name == entry.name) {
            e = std::move(entry);
            return;
        }
    }
    m_entries.append(std::move(entry));
}

const RpLibraryEntry *RpFunctionLibrary::find(const QString &upperName) const
{
    for (const auto &e : m_entries) {
        if (e.name == upperName)
            return &e;
    }
    return nullptr;
}

RpFunctionLibrary::RpFunctionLibrary()
{
    const QString vendor = QString::fromLatin1(kVendor);
    auto reg = [&](const char *name, const char *sig, const char *sep, Id desc, const char *code,
                   RpFunctionFactory f) {
        add(RpLibraryEntry{QString::fromLatin1(name), QString::fromLatin1(sig) + QLatin1String(sep) + text(desc),
                           QString::fromLatin1(code), vendor, std::move(f)});
    };
    reg("IF", "IF(<Exp>, <X>, <Y>)", "|", DescIf, "5BVV", factory<FnIf>());
    reg("STR", "STR(<X>)", "|", DescStr, "7N", factory<FnStr>());
    reg("UPPER", "UPPER(<X>)", "|", DescUpper, "7S", factory<FnCase>(QStringLiteral("UPPER"), FnCase::Upper));
    reg("LOWER", "LOWER(<X>)", "|", DescLower, "7S", factory<FnCase>(QStringLiteral("LOWER"), FnCase::Lower));
    reg("PRETTY", "PRETTY(<X>)", "|", DescPretty, "7S", factory<FnCase>(QStringLiteral("PRETTY"), FnCase::Pretty));
    reg("TIME", "TIME", "|", DescTime, "1", factory<FnClock>(QStringLiteral("TIME"), false));
    reg("DATE", "DATE", "|", DescDate, "1", factory<FnClock>(QStringLiteral("DATE"), true));
    reg("COPY", "COPY(<X>, <St>,<Len>)", "|", DescCopy, "7SNN", factory<FnCopy>());
    reg("SUM", "SUM(<X>)", "|", DescSum, "3N", factory<FnSum>());
    reg("COUNT", "COUNT", "|", DescCount, "3", factory<FnCount>());
    reg("MAX", "MAX(<X>)", "|", DescMax, "3V", factory<FnExtreme>(QStringLiteral("MAX"), true));
    reg("MIN", "MIN(<X>)", "|", DescMin, "3V", factory<FnExtreme>(QStringLiteral("MIN"), false));
    reg("AVERAGE", "AVERAGE(<X>)", "|", DescAverage, "3N", factory<FnAverage>());
    reg("TRUE", "TRUE", "|", DescBoolean, "5", factory<FnBoolean>(QStringLiteral("TRUE"), true));
    reg("FALSE", "FALSE", "|", DescBoolean, "5", factory<FnBoolean>(QStringLiteral("FALSE"), false));
    reg("INT", "INT(<X>)", "|", DescInt, "2N", factory<FnInt>());
    reg("FRAC", "FRAC(<X>)", "|", DescFrac, "2N", factory<FnFrac>());
    reg("SQRT", "SQRT(<X>)", "|", DescSqrt, "2N", factory<FnSqrt>());
    reg("DIV", "DIV(<X>, <Y>)", " | ", DescDiv, "2NN", factory<FnDiv>());
    reg("TYPEOF", "TYPEOF(<Exp>)", "|", DescTypeOf, "6N", factory<FnTypeOf>());
    reg("FORMATNUMERIC", "FORMATNUMERIC(<F>,<N>)", "|", DescFormatNumeric, "7SN", factory<FnFormatNumeric>());
}

void rpSetExpressionClock(std::function<QDateTime()> clock)
{
    clockHook() = std::move(clock);
}

QDateTime rpExpressionNow()
{
    return clockHook() ? clockHook()() : QDateTime::currentDateTime();
}

QString rpLocaleTimeText(const QDateTime &now)
{
    return QLocale().toString(now.time(), timeFormat());
}

QString rpLocaleDateText(const QDateTime &now)
{
    return QLocale().toString(now.date(), QLocale::ShortFormat);
}
