// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "expr/environment.h"

#include "expr/evaluator.h"
#include "expr/exprstrings.h"
#include "expr/functions.h"

#include <QCoreApplication>

using namespace exprstrings;

namespace {
// Named expressions evaluated inside one another (each through its own
// evaluator); a chain deeper than this is refused instead of exhausting the
// stack.
constexpr int kMaxEmbeddedDepth = 64;
thread_local int t_embeddedDepth = 0;
} // namespace

RpEvEmbeddedFunction::RpEvEmbeddedFunction(const QString &expression)
    : m_expression(expression), m_evaluator(std::make_unique<RpEvaluator>())
{
}

RpEvEmbeddedFunction::~RpEvEmbeddedFunction() = default;

RpEvResult RpEvEmbeddedFunction::value()
{
    std::unique_lock<std::recursive_mutex> held;
    if (m_guard)
        held = std::unique_lock(*m_guard);
    if (m_inEvaluate)
        return RpEvResult::error(text(RecursiveCalls));
    if (!m_evaluator->prepared())
        return RpEvResult::error(text(EvaluatorNotPrepared));
    if (t_embeddedDepth >= kMaxEmbeddedDepth)
        return RpEvResult::error(text(NestedTooDeeply));
    m_inEvaluate = true;
    ++t_embeddedDepth;
    RpEvResult r;
    m_evaluator->value(r);
    --t_embeddedDepth;
    m_inEvaluate = false;
    return r;
}

RpEvEnvironment::RpEvEnvironment() = default;

RpEvEnvironment::~RpEvEnvironment()
{
    clear();
}

std::unique_lock<std::recursive_mutex> RpEvEnvironment::hold() const
{
    if (!m_lock)
        return {};
    return std::unique_lock(*m_lock);
}

void RpEvEnvironment::clear()
{
    const auto held = hold();
    for (auto &e : m_entries)
        e.function->evaluator().unprepare();
    m_entries.clear();
    m_prepareCount = 0;
}

const RpEvEnvironment::Entry *RpEvEnvironment::find(const QString &name) const
{
    const QString upper = name.toUpper();
    for (const auto &e : m_entries) {
        if (e.name == upper)
            return &e;
    }
    return nullptr;
}

void RpEvEnvironment::prepareEntry(Entry &e)
{
    RpEvaluator &ev = e.function->evaluator();
    ev.setDataSets(m_dataSets);
    ev.setEnvironment(this);
    ev.prepare(e.function->expression());
}

void RpEvEnvironment::prepare()
{
    const auto held = hold();
    if (++m_prepareCount != 1)
        return;
    // By index: preparing an entry may not add entries, but stay safe.
    for (size_t i = 0; i < m_entries.size(); ++i)
        prepareEntry(m_entries[i]);
}

void RpEvEnvironment::unprepare()
{
    const auto held = hold();
    if (m_unpreparing || m_prepareCount == 0)
        return;
    if (--m_prepareCount != 0)
        return;
    m_unpreparing = true;
    for (auto &e : m_entries)
        e.function->evaluator().unprepare();
    m_unpreparing = false;
}

void RpEvEnvironment::addFunction(const QString &name, const QString &expression)
{
    const auto held = hold();
    const QString upper = name.toUpper();
    if (find(upper))
        return;
    m_entries.push_back(Entry{upper, std::make_shared<RpEvEmbeddedFunction>(expression)});
    m_entries.back().function->setGuard(m_lock.get());
    if (prepared())
        prepareEntry(m_entries.back());
}

void RpEvEnvironment::deleteFunction(const QString &name)
{
    const auto held = hold();
    const QString upper = name.toUpper();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->name == upper) {
            it->function->evaluator().unprepare();
            m_entries.erase(it);
            return;
        }
    }
}

bool RpEvEnvironment::contains(const QString &name) const
{
    return find(name) != nullptr;
}

QStringList RpEvEnvironment::names() const
{
    QStringList l;
    for (const auto &e : m_entries)
        l.append(e.name);
    return l;
}

QStringList RpEvEnvironment::expressions() const
{
    QStringList l;
    for (const auto &e : m_entries)
        l.append(e.function->expression());
    return l;
}

QString RpEvEnvironment::expression(const QString &name) const
{
    const Entry *e = find(name);
    return e ? e->function->expression() : QString();
}

std::unique_ptr<RpEvElement> RpEvEnvironment::element(const QString &name) const
{
    const QString upper = name.toUpper();
    if (const Entry *e = find(upper))
        return std::make_unique<RpEvElementWrapper>(e->function, upper);
    return std::make_unique<RpEvElementError>(text(UnknownFunctionFmt).arg(upper));
}

void RpEvEnvironment::value(const QString &name, RpEvResult &result) const
{
    const Entry *e = find(name);
    result = e ? e->function->value() : RpEvResult::error(text(UnknownFunctionFmt).arg(name.toUpper()));
}

RpEvResult RpEvEnvironment::value(const QString &name) const
{
    RpEvResult r;
    value(name, r);
    return r;
}

RpEvElement *RpEvEnvironment::getConstant(const QString &name) const
{
    const Entry *e = find(name);
    if (!e || !e->function->evaluator().prepared())
        return nullptr;
    const RpFiFo *fifo = e->function->evaluator().fiFo();
    return fifo ? fifo->first() : nullptr;
}

void RpEvEnvironment::setConstant(const QString &name, const RpEvResult &value)
{
    RpEvElement *el = getConstant(name);
    if (auto *c = dynamic_cast<RpEvElementConstant *>(el))
        c->setConstant(value);
    else if (auto *s = dynamic_cast<RpEvElementString *>(el); s && value.kind == resString)
        s->setString(value.stringVal);
}

void RpEvEnvironment::setIntegerConstant(const QString &name, int32_t value)
{
    setConstant(name, RpEvResult::fromInt(value));
}

void RpEvEnvironment::setFloatConstant(const QString &name, double value)
{
    setConstant(name, RpEvResult::fromDouble(value));
}

void RpEvEnvironment::setStringConstant(const QString &name, const QString &value)
{
    setConstant(name, RpEvResult::fromString(value));
}

void RpEvEnvironment::setBooleanConstant(const QString &name, bool value)
{
    setConstant(name, RpEvResult::fromBool(value));
}

void RpEvEnvironment::updateConstant(const QString &name, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        setBooleanConstant(name, value.toBool());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        setConstant(name, RpEvResult::fromInt64(value.toLongLong()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        setFloatConstant(name, value.toDouble());
        break;
    default:
        setStringConstant(name, value.toString());
        break;
    }
}

RpEvEnvironment *rpGlobalEnvironment()
{
    static RpEvEnvironment *global = [] {
        auto *env = new RpEvEnvironment; // lives for the whole process
        env->m_global = true;
        env->m_lock = std::make_unique<std::recursive_mutex>();
        const QDateTime start = rpExpressionNow();
        auto quoted = [](const QString &s) { return QStringLiteral("'") + s + QStringLiteral("'"); };
        env->addFunction(QStringLiteral("AppStartTime"), quoted(rpLocaleTimeText(start)));
        env->addFunction(QStringLiteral("AppStartDate"), quoted(rpLocaleDateText(start)));
        env->addFunction(QStringLiteral("AppName"), quoted(QCoreApplication::applicationName()));
        return env;
    }();
    return global;
}
