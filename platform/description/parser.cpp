// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/description/parser.h"

#include "platform/description/description.h"
#include "platform/description/strings.h"

#include <QStringDecoder>

#include <charconv>
#include <cstring>

namespace desc {
namespace {

enum class Tok { End, Ident, Int, Float, String, Binary, Equals, Colon, LParen, RParen, LBracket, RBracket, Comma };

struct Token {
    Tok kind = Tok::End;
    QString text;     // identifiers; the source text of numbers
    QString str;      // decoded string
    QByteArray bytes; // binary data
    qint64 i = 0;
    double f = 0;
    int line = 1;
    int column = 1;
};

QString describe(const Token &t)
{
    switch (t.kind) {
    case Tok::End:
        return QStringLiteral("the end of the description");
    case Tok::Ident:
        return QStringLiteral("'%1'").arg(t.text);
    case Tok::Int:
    case Tok::Float:
        return QStringLiteral("the number %1").arg(t.text);
    case Tok::String:
        return QStringLiteral("a string");
    case Tok::Binary:
        return QStringLiteral("binary data");
    case Tok::Equals:
        return QStringLiteral("'='");
    case Tok::Colon:
        return QStringLiteral("':'");
    case Tok::LParen:
        return QStringLiteral("'('");
    case Tok::RParen:
        return QStringLiteral("')'");
    case Tok::LBracket:
        return QStringLiteral("'['");
    case Tok::RBracket:
        return QStringLiteral("']'");
    case Tok::Comma:
        return QStringLiteral("','");
    }
    return {};
}

[[noreturn]] void fail(int line, int column, const QString &what)
{
    throw DescriptionError(strings::atLine(line, column, what), line, column, what);
}

// Checks that the text is well-formed UTF-8 and reports where it is not.
void checkUtf8(const QByteArray &text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.constData());
    const qsizetype n = text.size();
    int line = 1, column = 1;
    for (qsizetype i = 0; i < n;) {
        const unsigned c = p[i];
        int len = 0;
        unsigned cp = 0;
        if (c < 0x80) {
            len = 1;
            cp = c;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            fail(line, column, strings::badUtf8());
        }
        if (i + len > n)
            fail(line, column, strings::badUtf8());
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                fail(line, column, strings::badUtf8());
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            fail(line, column, strings::badUtf8());
        if (c == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        i += len;
    }
}

// The text of a quoted piece. Unlike QString::fromUtf8 this keeps a
// U+FEFF at the start of the piece (a byte-order mark only counts at the
// start of the file).
QString decodeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

class Lexer {
public:
    explicit Lexer(const QByteArray &text) : m_p(text.constData()), m_n(text.size())
    {
        if (m_n >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0)
            m_i = 3;
    }

    Token next()
    {
        skipSpace();
        Token t;
        t.line = m_line;
        t.column = m_column;
        if (m_i >= m_n)
            return t;
        const char c = m_p[m_i];
        if (isIdentStart(c)) {
            lexIdent(t);
        } else if (isDigit(c) || ((c == '-' || c == '+') && m_i + 1 < m_n && (isDigit(m_p[m_i + 1]) || m_p[m_i + 1] == '$'))
                   || c == '$') {
            lexNumber(t);
        } else if (c == '\'' || c == '#') {
            lexString(t);
        } else if (c == '{') {
            lexBinary(t);
        } else {
            advance();
            switch (c) {
            case '=':
                t.kind = Tok::Equals;
                break;
            case ':':
                t.kind = Tok::Colon;
                break;
            case '(':
                t.kind = Tok::LParen;
                break;
            case ')':
                t.kind = Tok::RParen;
                break;
            case '[':
                t.kind = Tok::LBracket;
                break;
            case ']':
                t.kind = Tok::RBracket;
                break;
            case ',':
                t.kind = Tok::Comma;
                break;
            default:
                fail(t.line, t.column, strings::badCharacter(printable(c)));
            }
        }
        return t;
    }

private:
    static bool isIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isHex(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
    static int hexValue(char c)
    {
        if (isDigit(c))
            return c - '0';
        return (c | 0x20) - 'a' + 10;
    }
    static QString printable(char c)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F)
            return QStringLiteral("#%1").arg(unsigned(u));
        return QString(QLatin1Char(c));
    }

    void advance()
    {
        if (m_p[m_i] == '\n') {
            ++m_line;
            m_column = 1;
        } else if ((static_cast<unsigned char>(m_p[m_i]) & 0xC0) != 0x80) {
            ++m_column; // columns count characters, not bytes
        }
        ++m_i;
    }

    void skipSpace()
    {
        while (m_i < m_n && (m_p[m_i] == ' ' || m_p[m_i] == '\t' || m_p[m_i] == '\r' || m_p[m_i] == '\n'))
            advance();
    }

    void lexIdent(Token &t)
    {
        const qsizetype start = m_i;
        // A dotted name (`Page.Values`, `Form1.Table1`) is one identifier;
        // each dot must be followed by a name part.
        for (;;) {
            while (m_i < m_n && isIdentChar(m_p[m_i]))
                advance();
            if (m_i + 1 < m_n && m_p[m_i] == '.' && isIdentStart(m_p[m_i + 1])) {
                advance();
                continue;
            }
            break;
        }
        t.kind = Tok::Ident;
        t.text = QString::fromLatin1(m_p + start, m_i - start);
    }

    void lexNumber(Token &t)
    {
        const qsizetype start = m_i;
        bool negative = false;
        if (m_p[m_i] == '-' || m_p[m_i] == '+') {
            negative = m_p[m_i] == '-';
            advance();
        }
        if (m_i < m_n && m_p[m_i] == '$') {
            advance();
            const qsizetype digits = m_i;
            quint64 v = 0;
            bool overflow = false;
            while (m_i < m_n && isHex(m_p[m_i])) {
                if (v > (quint64(~0ULL) >> 4))
                    overflow = true;
                v = (v << 4) | quint64(hexValue(m_p[m_i]));
                advance();
            }
            t.text = QString::fromLatin1(m_p + start, m_i - start);
            if (m_i == digits || (m_i < m_n && isIdentChar(m_p[m_i])))
                fail(t.line, t.column, strings::badNumber(t.text));
            // Hexadecimal integers are 64-bit patterns ($FFFFFFFF is -1 in
            // 32 bits, but stays 4294967295 here).
            if (overflow || (!negative && v > quint64(std::numeric_limits<qint64>::max()))
                || (negative && v > quint64(std::numeric_limits<qint64>::max()) + 1))
                fail(t.line, t.column, strings::numberOutOfRange(t.text));
            t.kind = Tok::Int;
            t.i = negative ? qint64(0 - v) : qint64(v);
            return;
        }
        bool isFloat = false;
        while (m_i < m_n && isDigit(m_p[m_i]))
            advance();
        if (m_i + 1 < m_n && m_p[m_i] == '.' && isDigit(m_p[m_i + 1])) {
            isFloat = true;
            advance();
            while (m_i < m_n && isDigit(m_p[m_i]))
                advance();
        }
        bool negativeExponent = false;
        if (m_i < m_n && (m_p[m_i] == 'e' || m_p[m_i] == 'E')) {
            qsizetype j = m_i + 1;
            if (j < m_n && (m_p[j] == '+' || m_p[j] == '-')) {
                negativeExponent = m_p[j] == '-';
                ++j;
            }
            if (j < m_n && isDigit(m_p[j])) {
                isFloat = true;
                while (m_i < j)
                    advance();
                while (m_i < m_n && isDigit(m_p[m_i]))
                    advance();
            }
        }
        t.text = QString::fromLatin1(m_p + start, m_i - start);
        if (m_i < m_n && (isIdentChar(m_p[m_i]) || m_p[m_i] == '.'))
            fail(t.line, t.column, strings::badNumber(t.text + printable(m_p[m_i])));
        const char *first = m_p + start + ((m_p[start] == '+') ? 1 : 0);
        const char *last = m_p + m_i;
        if (isFloat) {
            double d = 0;
            const auto r = std::from_chars(first, last, d);
            if (r.ec == std::errc::result_out_of_range) {
                // Too small to hold is zero; too large is an error.
                if (!negativeExponent)
                    fail(t.line, t.column, strings::numberOutOfRange(t.text));
                d = negative ? -0.0 : 0.0;
            } else if (r.ec != std::errc() || r.ptr != last) {
                fail(t.line, t.column, strings::badNumber(t.text));
            }
            t.kind = Tok::Float;
            t.f = d;
        } else {
            qint64 v = 0;
            const auto r = std::from_chars(first, last, v);
            if (r.ec == std::errc::result_out_of_range)
                fail(t.line, t.column, strings::numberOutOfRange(t.text));
            if (r.ec != std::errc() || r.ptr != last)
                fail(t.line, t.column, strings::badNumber(t.text));
            t.kind = Tok::Int;
            t.i = v;
        }
    }

    // 'quoted' pieces, #code characters between them, and `+` joining
    // pieces across lines: 'ab'#13#10'cd' + 'ef'.
    void lexString(Token &t)
    {
        QString out;
        for (;;) {
            if (m_i < m_n && m_p[m_i] == '\'') {
                const int line = m_line, column = m_column;
                advance();
                QByteArray piece;
                for (;;) {
                    if (m_i >= m_n || m_p[m_i] == '\n' || m_p[m_i] == '\r')
                        fail(line, column, strings::unterminatedString());
                    if (m_p[m_i] == '\'') {
                        if (m_i + 1 < m_n && m_p[m_i + 1] == '\'') {
                            piece += '\'';
                            advance();
                            advance();
                            continue;
                        }
                        advance();
                        break;
                    }
                    piece += m_p[m_i];
                    advance();
                }
                out += decodeUtf8(piece);
            } else if (m_i < m_n && m_p[m_i] == '#') {
                const int line = m_line, column = m_column;
                advance();
                char32_t code = 0;
                int digits = 0;
                if (m_i < m_n && m_p[m_i] == '$') {
                    advance();
                    while (m_i < m_n && isHex(m_p[m_i])) {
                        code = code * 16 + char32_t(hexValue(m_p[m_i]));
                        if (code > 0x10FFFF)
                            fail(line, column, strings::badCharacterCode());
                        ++digits;
                        advance();
                    }
                } else {
                    while (m_i < m_n && isDigit(m_p[m_i])) {
                        code = code * 10 + char32_t(m_p[m_i] - '0');
                        if (code > 0x10FFFF)
                            fail(line, column, strings::badCharacterCode());
                        ++digits;
                        advance();
                    }
                }
                if (digits == 0 || (code >= 0xD800 && code <= 0xDFFF))
                    fail(line, column, strings::badCharacterCode());
                out += QString::fromUcs4(&code, 1);
            } else {
                // A `+` after a piece continues the string with the next one.
                qsizetype save = m_i;
                const int saveLine = m_line, saveColumn = m_column;
                skipSpace();
                if (m_i < m_n && m_p[m_i] == '+') {
                    advance();
                    skipSpace();
                    if (m_i < m_n && (m_p[m_i] == '\'' || m_p[m_i] == '#'))
                        continue;
                    fail(m_line, m_column, strings::expected(QStringLiteral("a string after '+'"),
                                                             m_i < m_n ? QStringLiteral("'%1'").arg(printable(m_p[m_i]))
                                                                       : strings::unexpectedEnd()));
                }
                m_i = save;
                m_line = saveLine;
                m_column = saveColumn;
                break;
            }
        }
        t.kind = Tok::String;
        t.str = out;
    }

    void lexBinary(Token &t)
    {
        advance(); // {
        QByteArray bytes;
        int high = -1;
        for (;;) {
            if (m_i >= m_n)
                fail(t.line, t.column, strings::badBinary());
            const char c = m_p[m_i];
            if (c == '}') {
                advance();
                break;
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                advance();
                continue;
            }
            if (!isHex(c))
                fail(m_line, m_column, strings::badBinary());
            if (high < 0) {
                high = hexValue(c);
            } else {
                bytes += char((high << 4) | hexValue(c));
                high = -1;
            }
            advance();
        }
        if (high >= 0)
            fail(t.line, t.column, strings::badBinary());
        t.kind = Tok::Binary;
        t.bytes = bytes;
    }

    const char *m_p;
    qsizetype m_n;
    qsizetype m_i = 0;
    int m_line = 1;
    int m_column = 1;
};

class Parser {
public:
    explicit Parser(const QByteArray &text) : m_lex(text) { m_tok = m_lex.next(); }

    std::unique_ptr<ObjectNode> parse()
    {
        auto root = parseObject(1);
        if (m_tok.kind != Tok::End)
            fail(m_tok.line, m_tok.column, strings::textAfterEnd());
        return root;
    }

private:
    void shift() { m_tok = m_lex.next(); }

    bool isKeyword(const char *word) const
    {
        return m_tok.kind == Tok::Ident && m_tok.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    [[noreturn]] void unexpected(const QString &what) const
    {
        fail(m_tok.line, m_tok.column, strings::expected(what, describe(m_tok)));
    }

    QString plainName(const QString &what)
    {
        if (m_tok.kind != Tok::Ident || m_tok.text.contains(QLatin1Char('.')))
            unexpected(what);
        QString n = m_tok.text;
        shift();
        return n;
    }

    std::unique_ptr<ObjectNode> parseObject(int depth)
    {
        if (depth > MaxNesting)
            fail(m_tok.line, m_tok.column, strings::nestingTooDeep());
        if (!isKeyword("object"))
            unexpected(QStringLiteral("'object'"));
        auto node = std::make_unique<ObjectNode>();
        node->line = m_tok.line;
        node->column = m_tok.column;
        shift();
        QString first = plainName(QStringLiteral("an object name"));
        if (m_tok.kind == Tok::Colon) {
            shift();
            node->name = first;
            node->className = plainName(QStringLiteral("a class name"));
        } else {
            node->className = first; // an object without a name
        }
        for (;;) {
            if (m_tok.kind == Tok::End)
                fail(m_tok.line, m_tok.column, strings::missingEnd(node->name.isEmpty() ? node->className : node->name));
            if (isKeyword("end")) {
                shift();
                return node;
            }
            if (isKeyword("object")) {
                node->children.push_back(parseObject(depth + 1));
                continue;
            }
            if (m_tok.kind != Tok::Ident)
                unexpected(QStringLiteral("a property name, 'object' or 'end'"));
            PropertyNode prop;
            prop.line = m_tok.line;
            prop.column = m_tok.column;
            prop.path = m_tok.text.split(QLatin1Char('.'));
            shift();
            if (m_tok.kind != Tok::Equals)
                unexpected(QStringLiteral("'='"));
            shift();
            prop.value = parseValue(1);
            node->properties.push_back(std::move(prop));
        }
    }

    Value parseValue(int depth)
    {
        if (depth > MaxNesting)
            fail(m_tok.line, m_tok.column, strings::nestingTooDeep());
        const int line = m_tok.line, column = m_tok.column;
        Value v;
        switch (m_tok.kind) {
        case Tok::Int:
            v = Value::fromInt(m_tok.i);
            shift();
            break;
        case Tok::Float:
            v = Value::fromFloat(m_tok.f);
            shift();
            break;
        case Tok::String:
            v = Value::fromString(m_tok.str);
            shift();
            break;
        case Tok::Binary:
            v = Value::fromBinary(m_tok.bytes);
            shift();
            break;
        case Tok::Ident:
            if (isKeyword("object") || isKeyword("end"))
                unexpected(QStringLiteral("a value"));
            v = Value::fromIdent(m_tok.text);
            shift();
            break;
        case Tok::LBracket: {
            shift();
            QStringList names;
            if (m_tok.kind != Tok::RBracket) {
                for (;;) {
                    names << plainName(QStringLiteral("a set member"));
                    if (m_tok.kind == Tok::Comma) {
                        shift();
                        continue;
                    }
                    if (m_tok.kind == Tok::RBracket)
                        break;
                    unexpected(QStringLiteral("',' or ']'"));
                }
            }
            shift();
            v = Value::fromSet(names);
            break;
        }
        case Tok::LParen: {
            shift();
            std::vector<Value> items;
            while (m_tok.kind != Tok::RParen) {
                // A list left open runs into the next line's `end` or
                // `object`; the fault is where the list began.
                if (m_tok.kind == Tok::End || isKeyword("end") || isKeyword("object"))
                    fail(line, column, strings::expected(QStringLiteral("')'"), describe(m_tok)));
                items.push_back(parseValue(depth + 1));
                if (m_tok.kind == Tok::Comma)
                    shift();
            }
            shift();
            v = Value::fromList(std::move(items));
            break;
        }
        default:
            unexpected(QStringLiteral("a value"));
        }
        v.setPosition(line, column);
        return v;
    }

    Lexer m_lex;
    Token m_tok;
};

} // namespace

std::unique_ptr<ObjectNode> parseDescription(const QByteArray &text)
{
    checkUtf8(text);
    return Parser(text).parse();
}

} // namespace desc
