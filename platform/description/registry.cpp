// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/description/registry.h"

#include "platform/description/strings.h"

#include <cmath>

namespace desc {

// --- EnumInfo --------------------------------------------------------------

const QString *EnumInfo::nameOf(qint64 value) const
{
    for (const auto &[n, v] : items)
        if (v == value)
            return &n;
    return nullptr;
}

std::optional<qint64> EnumInfo::valueOf(QStringView name) const
{
    for (const auto &[n, v] : items)
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return v;
    return std::nullopt;
}

// --- ClassInfo -------------------------------------------------------------

const ClassInfo *ClassInfo::parent() const
{
    return m_parentType ? m_registry->find(*m_parentType) : nullptr;
}

bool ClassInfo::inherits(const ClassInfo *ancestor) const
{
    // A chain that loops (a class registered as its own ancestor) is cut
    // off after a generous number of steps.
    int guard = 0;
    for (const ClassInfo *c = this; c && guard < 1000; c = c->parent(), ++guard)
        if (c == ancestor)
            return true;
    return false;
}

bool ClassInfo::canCreate() const
{
    return bool(m_create);
}

const PropertyInfo *ClassInfo::findProperty(QStringView name, const ClassInfo **declaredIn) const
{
    int guard = 0;
    for (const ClassInfo *c = this; c && guard < 1000; c = c->parent(), ++guard) {
        for (const auto &p : c->m_props) {
            if (name.compare(p->name, Qt::CaseInsensitive) == 0) {
                if (declaredIn)
                    *declaredIn = c;
                return p.get();
            }
        }
    }
    return nullptr;
}

std::vector<std::pair<const ClassInfo *, const PropertyInfo *>> ClassInfo::allProperties() const
{
    std::vector<const ClassInfo *> chain;
    for (const ClassInfo *c = this; c && chain.size() < 1000; c = c->parent())
        chain.push_back(c);
    std::vector<std::pair<const ClassInfo *, const PropertyInfo *>> out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const auto &p : (*it)->m_props)
            out.emplace_back(*it, p.get());
    return out;
}

void *ClassInfo::castTo(void *obj, const ClassInfo *ancestor) const
{
    int guard = 0;
    for (const ClassInfo *c = this; c && guard < 1000; ++guard) {
        if (c == ancestor)
            return obj;
        if (!c->m_toParent)
            return nullptr;
        obj = c->m_toParent(obj);
        c = c->parent();
    }
    return nullptr;
}

template <class Hook> ClassInfo::Found<Hook> ClassInfo::nearest(Hook ClassInfo::*member) const
{
    int guard = 0;
    for (const ClassInfo *c = this; c && guard < 1000; c = c->parent(), ++guard)
        if (c->*member)
            return {c, &(c->*member)};
    return {};
}

void *ClassInfo::create(const CreateContext &ctx) const
{
    // Factories are not inherited: an abstract class's descendants need
    // their own.
    return m_create ? m_create(ctx) : nullptr;
}

void ClassInfo::destroy(void *obj) const
{
    // The object's own class knows its full type; an ancestor's deleter
    // works only through a virtual destructor, which Qt objects have.
    if (m_destroy) {
        m_destroy(obj);
        return;
    }
    if (auto f = nearest(&ClassInfo::m_destroy); f.hook)
        (*f.hook)(castTo(obj, f.cls));
}

QString ClassInfo::objectName(void *obj) const
{
    if (auto f = nearest(&ClassInfo::m_getName); f.hook)
        return (*f.hook)(castTo(obj, f.cls));
    return {};
}

void ClassInfo::setObjectName(void *obj, const QString &name) const
{
    if (auto f = nearest(&ClassInfo::m_setName); f.hook)
        (*f.hook)(castTo(obj, f.cls), name);
}

void ClassInfo::beginLoad(void *obj) const
{
    if (auto f = nearest(&ClassInfo::m_beginLoad); f.hook)
        (*f.hook)(castTo(obj, f.cls));
}

void ClassInfo::loaded(void *obj) const
{
    if (auto f = nearest(&ClassInfo::m_loaded); f.hook)
        (*f.hook)(castTo(obj, f.cls));
}

bool ClassInfo::hasChildren() const
{
    return nearest(&ClassInfo::m_addChild).hook != nullptr;
}

std::vector<ObjectRef> ClassInfo::children(void *obj) const
{
    if (auto f = nearest(&ClassInfo::m_children); f.hook)
        return (*f.hook)(castTo(obj, f.cls));
    return {};
}

void ClassInfo::addChild(void *obj, ObjectRef child) const
{
    if (auto f = nearest(&ClassInfo::m_addChild); f.hook)
        (*f.hook)(castTo(obj, f.cls), child);
}

void ClassInfo::removeChild(void *obj, ObjectRef child) const
{
    if (auto f = nearest(&ClassInfo::m_removeChild); f.hook)
        (*f.hook)(castTo(obj, f.cls), child);
}

// --- Registry --------------------------------------------------------------

Registry::Registry() = default;
Registry::~Registry() = default;

Registry &Registry::global()
{
    static Registry r;
    return r;
}

ClassInfo &Registry::newClass(const QString &storedName, std::type_index type)
{
    const QString key = storedName.toLower();
    if (m_byName.contains(key))
        throw std::logic_error("class registered twice: " + storedName.toStdString());
    if (m_byType.count(type))
        throw std::logic_error("type registered twice: " + storedName.toStdString());
    auto info = std::make_unique<ClassInfo>();
    info->m_registry = this;
    info->m_name = storedName;
    info->m_type = type;
    ClassInfo &ref = *info;
    m_classes.push_back(std::move(info));
    m_byName.insert(key, &ref);
    m_byType.emplace(type, &ref);
    return ref;
}

const ClassInfo *Registry::find(QStringView storedName) const
{
    return m_byName.value(storedName.toString().toLower(), nullptr);
}

const ClassInfo *Registry::find(std::type_index type) const
{
    auto it = m_byType.find(type);
    return it == m_byType.end() ? nullptr : it->second;
}

// --- conversions -----------------------------------------------------------

namespace detail {

void checkKind(const Value &v, Value::Kind kind)
{
    if (v.kind() != kind)
        throw ValueError(strings::expectedKind(Value::kindName(kind), Value::kindName(v.kind())));
}

void checkNumber(const Value &v)
{
    if (!v.isNumber())
        throw ValueError(strings::expectedKind(Value::kindName(Value::Kind::Float), Value::kindName(v.kind())));
}

bool toBool(const Value &v)
{
    if (v.kind() == Value::Kind::Ident) {
        if (v.text().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (v.text().compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        throw ValueError(strings::notABoolean(v.text()));
    }
    throw ValueError(strings::expectedKind(QStringLiteral("True or False"), Value::kindName(v.kind())));
}

qint64 toInt(const Value &v, qint64 min, qint64 max)
{
    checkKind(v, Value::Kind::Int);
    if (v.intValue() < min || v.intValue() > max)
        throw ValueError(strings::integerOutOfRange(v.intValue()));
    return v.intValue();
}

double toFloat(const Value &v)
{
    checkNumber(v);
    return v.floatValue();
}

QStringList toStringList(const Value &v)
{
    checkKind(v, Value::Kind::List);
    QStringList out;
    for (const Value &item : v.items()) {
        checkKind(item, Value::Kind::String);
        out << item.text();
    }
    return out;
}

std::vector<double> toFloatList(const Value &v, std::size_t count)
{
    checkKind(v, Value::Kind::List);
    if (v.items().size() != count)
        throw ValueError(strings::wrongListCount(qsizetype(count), qsizetype(v.items().size())));
    std::vector<double> out;
    out.reserve(count);
    for (const Value &item : v.items())
        out.push_back(toFloat(item));
    return out;
}

qint64 toEnum(const Value &v, const EnumInfo &info)
{
    checkKind(v, Value::Kind::Ident);
    if (auto e = info.valueOf(v.text()))
        return *e;
    throw ValueError(strings::unknownEnumName(v.text(), info.typeName));
}

quint64 toSet(const Value &v, const EnumInfo &info)
{
    checkKind(v, Value::Kind::Set);
    quint64 mask = 0;
    for (const QString &n : v.names()) {
        auto e = info.valueOf(n);
        if (!e || *e < 0 || *e > 63)
            throw ValueError(strings::unknownEnumName(n, info.typeName));
        mask |= quint64(1) << *e;
    }
    return mask;
}

qint64 toNamedInt(const Value &v, const EnumInfo &names, qint64 min, qint64 max)
{
    if (v.kind() == Value::Kind::Ident) {
        if (auto e = names.valueOf(v.text()))
            return *e;
        throw ValueError(strings::unknownEnumName(v.text(), names.typeName));
    }
    return toInt(v, min, max);
}

Value fromEnum(qint64 v, const EnumInfo &info)
{
    if (const QString *n = info.nameOf(v))
        return Value::fromIdent(*n);
    // A value without a name cannot be read back by name; it is written as
    // a number so that the reader refuses it instead of guessing.
    return Value::fromInt(v);
}

Value fromSet(quint64 mask, const EnumInfo &info)
{
    QStringList names;
    // Members in the order of their values, as the set is declared.
    for (int bit = 0; bit < 64; ++bit) {
        if (!(mask & (quint64(1) << bit)))
            continue;
        if (const QString *n = info.nameOf(bit))
            names << *n;
    }
    return Value::fromSet(names);
}

Value fromNamedInt(qint64 v, const EnumInfo &names)
{
    if (const QString *n = names.nameOf(v))
        return Value::fromIdent(*n);
    return Value::fromInt(v);
}

Value fromStringList(const QStringList &list)
{
    std::vector<Value> items;
    items.reserve(std::size_t(list.size()));
    for (const QString &s : list)
        items.push_back(Value::fromString(s));
    return Value::fromList(std::move(items));
}

Value fromFloatList(const std::vector<double> &values)
{
    std::vector<Value> items;
    items.reserve(values.size());
    for (double d : values)
        items.push_back(Value::fromFloat(d));
    return Value::fromList(std::move(items));
}

} // namespace detail
} // namespace desc
