// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/exprparser.h"

#include "expr/elements.h"
#include "expr/environment.h"
#include "expr/exprstrings.h"
#include "expr/functions.h"
#include "data/dataset.h"

#include <charconv>
#include <limits>
#include <optional>

using namespace exprstrings;

namespace {

struct Found {
    qsizetype pos; // where the operator starts
    qsizetype len; // characters to skip to reach the right part
    RpEvOperator op;
};

bool followedBy(QStringView s, qsizetype i, QLatin1String word)
{
    return s.size() - i >= word.size() && s.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

std::optional<Found> matchRelation(QStringView s, qsizetype i)
{
    const QChar c = s.at(i);
    const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
    if (c == u'<') {
        if (next == u'>')
            return Found{i, 2, opUnequal};
        if (next == u'=')
            return Found{i, 2, opLessOrEqual};
        return Found{i, 1, opLess};
    }
    if (c == u'=')
        return Found{i, 1, opEqual};
    if (c == u'>') {
        if (next == u'=')
            return Found{i, 2, opGreaterOrEqual};
        return Found{i, 1, opGreater};
    }
    return std::nullopt;
}

std::optional<Found> matchSum(QStringView s, qsizetype i)
{
    const QChar c = s.at(i);
    if (c == u' ' && followedBy(s, i + 1, QLatin1String("or ")))
        return Found{i, 3, opOr}; // the right part starts after "or"
    if (c == u'+')
        return Found{i, 1, opPlus};
    if (c == u'-')
        return Found{i, 1, opMinus};
    return std::nullopt;
}

std::optional<Found> matchProduct(QStringView s, qsizetype i)
{
    const QChar c = s.at(i);
    if (c == u' ' && followedBy(s, i + 1, QLatin1String("and ")))
        return Found{i, 4, opAnd};
    if (c == u'*')
        return Found{i, 1, opMul};
    if (c == u'/')
        return Found{i, 1, opDiv};
    return std::nullopt;
}

// Walks the text keeping track of quotes, brackets and parentheses and calls
// visit(i) for every position that stands at the top level. A quote inside
// brackets and a bracket inside quotes do not count. visit returns true to
// stop.
template <typename Visit>
void walkTopLevel(QStringView s, Visit visit)
{
    bool inQuote = false, inBracket = false;
    int paren = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (inQuote) {
            if (c == u'\'')
                inQuote = false;
            continue;
        }
        if (inBracket) {
            if (c == u']')
                inBracket = false;
            continue;
        }
        if (paren == 0 && visit(i))
            return;
        if (c == u'\'')
            inQuote = true;
        else if (c == u'[')
            inBracket = true;
        else if (c == u'(')
            ++paren;
        else if (c == u')')
            --paren;
    }
}

// The first operator of a level, looked for from the second character on:
// a sign in front is a sign. Leading blanks do not count, so in "1 + -2" and
// "IF(X, -1, 1)" the "-" is a sign too.
template <typename Match>
std::optional<Found> scan(QStringView s, Match match)
{
    qsizetype first = 0;
    while (first < s.size() && s.at(first).unicode() <= 0x20)
        ++first;
    std::optional<Found> found;
    walkTopLevel(s, [&](qsizetype i) {
        if (i <= first)
            return false;
        found = match(s, i);
        return found.has_value();
    });
    return found;
}

QStringView trimmedBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The code point at the start of the text is a letter.
bool startsWithLetter(QStringView s)
{
    if (s.isEmpty())
        return false;
    char32_t cp = s.at(0).unicode();
    if (s.at(0).isHighSurrogate() && s.size() > 1 && s.at(1).isLowSurrogate())
        cp = QChar::surrogateToUcs4(s.at(0), s.at(1));
    return QChar::isLetter(cp);
}

bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'.' || c.isSurrogate(); }

QList<QStringView> splitArguments(QStringView s)
{
    QList<QStringView> args;
    if (trimmedBlanks(s).isEmpty())
        return args;
    qsizetype start = 0;
    walkTopLevel(s, [&](qsizetype i) {
        if (s.at(i) == u',') {
            args.append(s.mid(start, i - start));
            start = i + 1;
        }
        return false;
    });
    args.append(s.mid(start));
    return args;
}

// Counts one level of nesting for as long as it lives.
class DepthGuard {
public:
    explicit DepthGuard(int &depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }

private:
    int &m_depth;
};

} // namespace

RpExprParser::RpExprParser(RpFiFo &fifo, RpEvEnvironment *environment, const QList<RpDataSet *> &dataSets,
                           int maxNesting)
    : m_fifo(fifo), m_environment(environment), m_dataSets(dataSets), m_maxNesting(maxNesting)
{
}

void RpExprParser::parse(const QString &text)
{
    parseRelation(text);
}

void RpExprParser::error(const QString &message)
{
    m_fifo.add(std::make_unique<RpEvElementError>(message));
    m_fifo.setParseError(message);
}

// Level 1: one relation; both sides are sums, so relations do not chain.
void RpExprParser::parseRelation(QStringView text)
{
    const auto f = scan(text, matchRelation);
    if (!f) {
        parseSum(text);
        return;
    }
    m_fifo.add(std::make_unique<RpEvElementOperator>(f->op));
    parseSum(text.left(f->pos));
    parseSum(text.mid(f->pos + f->len));
}

// Level 2: OR, + and -. The text is cut at its first operator and the right
// part is parsed again at this level; after a "-" the + and - operators of
// the right part are exchanged, so a - b + c is a - (b - c). The chain is
// walked in a loop that carries the exchange along. Only operators are
// exchanged: a sign at the start of a part is a sign, so 1--2 is 3.
void RpExprParser::parseSum(QStringView text)
{
    bool exchange = false;
    for (;;) {
        const auto f = scan(text, matchSum);
        if (!f) {
            parseProduct(text);
            return;
        }
        RpEvOperator op = f->op;
        if (exchange && op == opPlus)
            op = opMinus;
        else if (exchange && op == opMinus)
            op = opPlus;
        m_fifo.add(std::make_unique<RpEvElementOperator>(op));
        parseProduct(text.left(f->pos));
        if (op == opMinus)
            exchange = !exchange;
        text = text.mid(f->pos + f->len);
    }
}

// Level 3: AND, * and /; after a "/" the * and / operators of the right part
// are exchanged, so a / b * c is a / (b / c).
void RpExprParser::parseProduct(QStringView text)
{
    bool exchange = false;
    for (;;) {
        const auto f = scan(text, matchProduct);
        if (!f) {
            parseFactor(text);
            return;
        }
        RpEvOperator op = f->op;
        if (exchange && op == opMul)
            op = opDiv;
        else if (exchange && op == opDiv)
            op = opMul;
        m_fifo.add(std::make_unique<RpEvElementOperator>(op));
        parseFactor(text.left(f->pos));
        if (op == opDiv)
            exchange = !exchange;
        text = text.mid(f->pos + f->len);
    }
}

// Level 4: a factor.
void RpExprParser::parseFactor(QStringView raw)
{
    DepthGuard guard(m_depth);
    if (m_depth > m_maxNesting) {
        error(text(NestedTooDeeply));
        return;
    }
    const QStringView t = trimmedBlanks(raw);
    if (t.isEmpty()) {
        error(text(ErrorInExpressionFmt).arg(QString()));
        return;
    }
    const QChar c = t.at(0);
    if (t.size() >= 3 && t.left(3).compare(QLatin1String("not"), Qt::CaseInsensitive) == 0 &&
        (t.size() == 3 || !isNameChar(t.at(3)))) {
        // A negation of the rest; "NOTE" and the like are names.
        m_fifo.add(std::make_unique<RpEvElementNot>());
        parseSum(t.mid(3));
    } else if (c == u'\'') {
        if (t.size() >= 2 && t.back() == u'\'')
            m_fifo.add(std::make_unique<RpEvElementString>(t.mid(1, t.size() - 2).toString()));
        else
            error(text(MissingFmt).arg(QStringLiteral("'")));
    } else if (c == u'(') {
        if (t.size() >= 2 && t.back() == u')')
            parseRelation(t.mid(1, t.size() - 2));
        else
            error(text(MissingFmt).arg(QStringLiteral(")")));
    } else if (c == u'+') {
        parseFactor(t.mid(1));
    } else if (c == u'-') {
        parseSum(QString(QStringLiteral("0-") + t.mid(1).toString()));
    } else if (isAsciiDigit(c)) {
        parseNumber(t.toString());
    } else if (startsWithLetter(t)) {
        parseCall(t.toString());
    } else if (c == u'[') {
        if (t.size() >= 2 && t.back() == u']')
            parseName(trimmedBlanks(t.mid(1, t.size() - 2)).toString());
        else
            error(text(MissingFmt).arg(QStringLiteral("]")));
    } else {
        error(text(ErrorInExpressionFmt).arg(t.toString()));
    }
}

void RpExprParser::parseNumber(const QString &t)
{
    qsizetype i = 0;
    while (i < t.size() && isAsciiDigit(t.at(i)))
        ++i;
    qsizetype j = i;
    static const QString floatChars = QStringLiteral("+-.0123456789Ee");
    while (j < t.size() && floatChars.contains(t.at(j)))
        ++j;
    const QString bad = text(IllegalNumericConstant) + u'"' + t + u'"';
    if (j < t.size()) {
        error(bad);
        return;
    }
    const QByteArray a = t.toLatin1();
    const char *b = a.constData(), *e = b + a.size();
    if (j == i) {
        int64_t n = 0;
        auto r = std::from_chars(b, e, n);
        if (r.ec == std::errc() && r.ptr == e && n <= std::numeric_limits<int32_t>::max()) {
            m_fifo.add(std::make_unique<RpEvElementConstant>(RpEvResult::fromInt(int32_t(n))));
            return;
        }
        // Too large for 32 bits: a float.
    }
    double d = 0;
    auto r = std::from_chars(b, e, d); // the point is the separator in every locale
    if (r.ec != std::errc() || r.ptr != e) {
        error(bad);
        return;
    }
    m_fifo.add(std::make_unique<RpEvElementConstant>(RpEvResult::fromDouble(d)));
}

void RpExprParser::parseCall(const QString &t)
{
    const qsizetype paren = t.indexOf(u'(');
    const RpFunctionLibrary &lib = RpFunctionLibrary::instance();
    if (paren < 0) {
        const QString name = t.toUpper();
        if (const RpLibraryEntry *entry = lib.find(name)) {
            m_fifo.add(entry->create());
            m_fifo.add(std::make_unique<RpEvElementArgumentEnd>());
        } else {
            parseName(t);
        }
        return;
    }
    if (t.back() != u')') {
        error(text(MissingFmt).arg(QStringLiteral(")")));
        return;
    }
    const QString name = trimmedBlanks(QStringView(t).left(paren)).toString().toUpper();
    const RpLibraryEntry *entry = lib.find(name);
    if (!entry) {
        error(text(UnknownFunctionFmt).arg(name));
        return;
    }
    m_fifo.add(entry->create());
    const QStringView inside = QStringView(t).mid(paren + 1, t.size() - paren - 2);
    for (QStringView arg : splitArguments(inside))
        parseRelation(arg);
    m_fifo.add(std::make_unique<RpEvElementArgumentEnd>());
}

// A data field, then a named expression of the environment, then of the
// global environment.
void RpExprParser::parseName(const QString &rawName)
{
    const QString name = rawName.toUpper();
    const qsizetype dot = name.indexOf(u'.');
    for (RpDataSet *ds : m_dataSets) {
        if (!ds)
            continue;
        int field = -1;
        if (dot >= 0) {
            if (ds->name().toUpper() == name.left(dot))
                field = ds->findField(name.mid(dot + 1));
        } else {
            field = ds->findField(name);
        }
        if (field >= 0) {
            m_fifo.add(std::make_unique<RpEvElementDataField>(ds, field, ds->fieldName(field)));
            return;
        }
    }
    if (m_environment && m_environment->contains(name)) {
        m_fifo.add(m_environment->element(name));
        return;
    }
    RpEvEnvironment *global = rpGlobalEnvironment();
    if (global != m_environment && global->contains(name)) {
        m_fifo.add(global->element(name));
        return;
    }
    error(text(UnknownFunctionFmt).arg(name));
}
