// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The registry of describable classes: for each class its stored name, its
// parent class (whose properties it inherits), how an object of it is made
// and destroyed, its published properties (type, declared default, getter,
// setter), its sub-objects (`Page`, `Size`, `Font`, `Frame`), how it adopts
// and lists the children read inside its block, and its `Loaded` step.
//
// The registry knows nothing of the report classes; they register
// themselves, best from one explicit function called at start-up (static
// initialisers in static libraries may be dropped by the linker):
//
//   void registerReportClasses(desc::Registry &r)
//   {
//       static const desc::EnumInfo bandTypes{"TRpBandType",
//           {{"rbTitle", rbTitle}, {"rbPageHeader", rbPageHeader}, ...}};
//
//       r.addClass<RpBandSize>("TRpBandSize")            // a plain sub-object
//           .floatList("Values", 2, &RpBandSize::values, &RpBandSize::setValues);
//
//       r.addClass<RpBasePanel>("TRpBasePanel")          // abstract: no factory
//           .property("Left", &QWidget::x, &RpBasePanel::setLeft, 0)
//           .subObject<RpFrame>("Frame", &RpBasePanel::frame);
//
//       r.addClass<RpBand, RpBasePanel>("TRpBand")        // inherits Left, Frame
//           .factory([](const desc::CreateContext &ctx) {
//               return new RpBand(ctx.parentAs<QWidget>()); })
//           .enumProperty("BandType", &RpBand::bandType, &RpBand::setBandType,
//                         bandTypes, rbTitle)          // not written when rbTitle
//           .property("ForceNewPage", &RpBand::forceNewPage, &RpBand::setForceNewPage, false)
//           .subObject<RpBandSize>("Size", &RpBand::size)
//           .reference<RpBand>("LinkBand", &RpBand::linkBand, &RpBand::setLinkBand)
//           .children([](RpBand &b) { return b.registry().refs(b.printables()); },
//                     [](RpBand &b, desc::ObjectRef c) { b.addPrintable(c.as<RpPrintable>()); })
//           .loaded(&RpBand::loaded);
//   }
//
//   desc::Registry &reg = desc::Registry::global();
//   registerReportClasses(reg);
//   Report *rpt = desc::readAs<Report>(reg, layoutText, window);   // desc/reader.h
//   QByteArray text = desc::write(reg, reg.ref(rpt));               // desc/writer.h
//
// A getter is anything callable as get(const T&) (a const member function
// pointer is fine), a setter anything callable as set(T&, value). The type of
// a `property` follows from its getter: bool, any integer type (range
// checked), float/double, QString, QStringList (a list of strings) or
// QByteArray (binary data). Enumerations and sets go through enumProperty
// and setProperty with an EnumInfo naming their values; integers that have
// names for some values (colours: clWhite, clGray, ...) through
// namedIntProperty. A property given a default is not written while it
// equals that default; one without a default is always written.
//
// Names of classes, properties and enumeration values are matched without
// regard to case when reading and written as registered.
#include "platform/description/value.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

namespace desc {

class ClassInfo;
class Registry;
struct ObjectNode;

// Raised by property setters and converters for a value they cannot take;
// the reader turns it into a DescriptionError naming the line.
class ValueError : public std::runtime_error {
public:
    explicit ValueError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// An object together with its registered class. `ptr` points to an object of
// exactly that class's C++ type (not to a base sub-object of it).
struct ObjectRef {
    void *ptr = nullptr;
    const ClassInfo *cls = nullptr;

    explicit operator bool() const { return ptr && cls; }
    // The object as U: a registered class (the object's class or one of its
    // ancestors) or, for Qt objects, any QObject type (qobject_cast).
    // Null when it is neither.
    template <class U> U *as() const;
    friend bool operator==(const ObjectRef &a, const ObjectRef &b) { return a.ptr == b.ptr; }
};

// Names of the values of an enumeration (or named values of an integer).
// Sets are held as masks with bit (1 << value) set for every member, so set
// members need values 0..63.
struct EnumInfo {
    QString typeName;
    std::vector<std::pair<QString, qint64>> items;

    const QString *nameOf(qint64 value) const;
    std::optional<qint64> valueOf(QStringView name) const; // case-insensitive
};

struct CreateContext {
    ObjectRef parent;          // the object whose block holds this one; null for the outermost
    ObjectRef root;            // the outermost object (null while it is being made)
    QObject *owner = nullptr;  // the owner the caller passed to read()
    QString name;              // the name after `object`
    // The block that describes the object: what it will be given, for a
    // factory that would otherwise look up a default it is about to be told.
    const ObjectNode *node = nullptr;

    template <class U> U *parentAs() const { return parent.as<U>(); }
};

struct PropertyInfo {
    enum class Kind { Value, SubObject, Reference };
    QString name;
    Kind kind = Kind::Value;
    // Kind::Value: static check of a value read (throws ValueError), its
    // conversion into the object, and the value to write.
    std::function<void(const Value &)> check;
    std::function<void(void *, const Value &)> set;
    std::function<Value(void *)> get;
    std::optional<Value> defaultValue; // none: always written
    std::function<bool(void *)> stored; // null: stored
    // Kind::SubObject: the sub-object's C++ type and how to reach it (null
    // when the object has none at the moment).
    std::optional<std::type_index> subType;
    std::function<void *(void *)> sub;
    // Kind::Reference: a component named by identifier, resolved after the
    // whole description was read.
    std::optional<std::type_index> refType;
    std::function<ObjectRef(void *, const Registry &)> getRef;
    std::function<void(void *, ObjectRef)> setRef;
};

class ClassInfo {
public:
    const QString &name() const { return m_name; }
    const Registry &registry() const { return *m_registry; }
    const ClassInfo *parent() const; // null for a root class
    bool inherits(const ClassInfo *ancestor) const; // true for itself
    bool canCreate() const;

    // The property `name` of this class or an ancestor, with the class that
    // declares it. Null when there is none.
    const PropertyInfo *findProperty(QStringView name, const ClassInfo **declaredIn = nullptr) const;
    // Properties in write order: the root class's first.
    std::vector<std::pair<const ClassInfo *, const PropertyInfo *>> allProperties() const;
    const std::vector<std::unique_ptr<PropertyInfo>> &ownProperties() const { return m_props; }

    // Converts a pointer to an object of this class into a pointer to the
    // ancestor's type; null when `ancestor` is not an ancestor.
    void *castTo(void *obj, const ClassInfo *ancestor) const;
    QObject *toQObject(void *obj) const { return m_toQObject ? m_toQObject(obj) : nullptr; }

    // The nearest hooks along the parent chain, applied to `obj` (an object
    // of this class). Each does nothing when no class in the chain has one.
    void *create(const CreateContext &ctx) const;
    void destroy(void *obj) const;
    QString objectName(void *obj) const;
    void setObjectName(void *obj, const QString &name) const;
    void beginLoad(void *obj) const;
    void loaded(void *obj) const;
    bool hasChildren() const;
    std::vector<ObjectRef> children(void *obj) const;
    void addChild(void *obj, ObjectRef child) const;
    void removeChild(void *obj, ObjectRef child) const;

private:
    friend class Registry;
    template <class T> friend class ClassBuilder;

    template <class Hook> struct Found {
        const ClassInfo *cls = nullptr;
        const Hook *hook = nullptr;
    };
    template <class Hook> Found<Hook> nearest(Hook ClassInfo::*member) const;

    const Registry *m_registry = nullptr;
    QString m_name;
    std::type_index m_type = typeid(void);
    std::optional<std::type_index> m_parentType;
    void *(*m_toParent)(void *) = nullptr;
    QObject *(*m_toQObject)(void *) = nullptr;
    std::function<void *(const CreateContext &)> m_create;
    std::function<void(void *)> m_destroy;
    std::function<QString(void *)> m_getName;
    std::function<void(void *, const QString &)> m_setName;
    std::function<void(void *)> m_beginLoad;
    std::function<void(void *)> m_loaded;
    std::function<std::vector<ObjectRef>(void *)> m_children;
    std::function<void(void *, ObjectRef)> m_addChild;
    std::function<void(void *, ObjectRef)> m_removeChild;
    std::vector<std::unique_ptr<PropertyInfo>> m_props;
};

namespace detail {
template <class V> struct IsQFlags : std::false_type {};
template <class E> struct IsQFlags<QFlags<E>> : std::true_type {};

template <class V> constexpr qint64 minOf() { return qint64(std::numeric_limits<V>::min()); }
template <class V> constexpr qint64 maxOf()
{
    if constexpr (sizeof(V) >= sizeof(qint64) && std::is_unsigned_v<V>)
        return std::numeric_limits<qint64>::max();
    else
        return qint64(std::numeric_limits<V>::max());
}

template <class R, class O> ObjectRef refOf(const R &registry, O *obj) { return registry.ref(obj); }

template <class T, class G> using GetResult = std::decay_t<std::invoke_result_t<G &, const T &>>;

void checkKind(const Value &v, Value::Kind kind);
void checkNumber(const Value &v);
bool toBool(const Value &v);
qint64 toInt(const Value &v, qint64 min, qint64 max);
double toFloat(const Value &v);
QStringList toStringList(const Value &v);
std::vector<double> toFloatList(const Value &v, std::size_t count);
qint64 toEnum(const Value &v, const EnumInfo &info);
quint64 toSet(const Value &v, const EnumInfo &info);
qint64 toNamedInt(const Value &v, const EnumInfo &names, qint64 min, qint64 max);
Value fromEnum(qint64 v, const EnumInfo &info);
Value fromSet(quint64 mask, const EnumInfo &info);
Value fromNamedInt(qint64 v, const EnumInfo &names);
Value fromStringList(const QStringList &list);
Value fromFloatList(const std::vector<double> &values);
} // namespace detail

// Registration of one class; every method returns the builder for chaining.
template <class T> class ClassBuilder {
public:
    ClassBuilder(Registry &registry, ClassInfo &info) : m_registry(registry), m_info(info) {}

    ClassBuilder &factory(std::function<T *(const CreateContext &)> make)
    {
        m_info.m_create = [make = std::move(make)](const CreateContext &ctx) -> void * { return make(ctx); };
        return *this;
    }
    ClassBuilder &destroyer(std::function<void(T &)> destroy)
    {
        m_info.m_destroy = [destroy = std::move(destroy)](void *p) { destroy(*static_cast<T *>(p)); };
        return *this;
    }
    // The name after `object`; Qt objects use objectName() unless told otherwise.
    template <class G, class S> ClassBuilder &name(G get, S set)
    {
        m_info.m_getName = [get](void *p) { return QString(std::invoke(get, *static_cast<const T *>(p))); };
        m_info.m_setName = [set](void *p, const QString &n) { std::invoke(set, *static_cast<T *>(p), n); };
        return *this;
    }
    // Run on an object before its properties are read (made or read into).
    template <class F> ClassBuilder &beginLoad(F f)
    {
        m_info.m_beginLoad = [f](void *p) { std::invoke(f, *static_cast<T *>(p)); };
        return *this;
    }
    // Run once on every object read, after the whole tree is built and its
    // references resolved, parents before children.
    template <class F> ClassBuilder &loaded(F f)
    {
        m_info.m_loaded = [f](void *p) { std::invoke(f, *static_cast<T *>(p)); };
        return *this;
    }
    // list(T&) -> std::vector<ObjectRef> or any range of pointers to
    // registered objects (QList<RpBand *>): the children to write, in order.
    // add(T&, ObjectRef): adopt a child made while reading (the child's
    // class is any registered class; use child.as<U>()). Throw ValueError to
    // refuse it. remove(T&, ObjectRef), optional: give a child up again
    // without destroying it (needed only for parents that own children
    // other than through QObject parenthood).
    template <class L, class A> ClassBuilder &children(L list, A add)
    {
        const Registry *reg = &m_registry;
        m_info.m_children = [list, reg](void *p) {
            decltype(auto) got = std::invoke(list, *static_cast<T *>(p));
            using Got = std::decay_t<decltype(got)>;
            if constexpr (std::is_convertible_v<Got, std::vector<ObjectRef>>) {
                return std::vector<ObjectRef>(got);
            } else {
                // Any range of object pointers.
                std::vector<ObjectRef> out;
                for (auto *o : got)
                    if (ObjectRef r = detail::refOf(*reg, o))
                        out.push_back(r);
                return out;
            }
        };
        m_info.m_addChild = [add](void *p, ObjectRef c) { std::invoke(add, *static_cast<T *>(p), c); };
        return *this;
    }
    template <class R> ClassBuilder &childRemover(R remove)
    {
        m_info.m_removeChild = [remove](void *p, ObjectRef c) { std::invoke(remove, *static_cast<T *>(p), c); };
        return *this;
    }

    // A plain property whose type follows from the getter.
    template <class G, class S> ClassBuilder &property(const QString &name, G get, S set)
    {
        return addValue<G, S, detail::GetResult<T, G>>(name, get, set, std::nullopt);
    }
    template <class G, class S, class D> ClassBuilder &property(const QString &name, G get, S set, const D &def)
    {
        using V = detail::GetResult<T, G>;
        return addValue<G, S>(name, get, set, std::optional<V>(V(def)));
    }

    // An enumeration stored by value name.
    template <class G, class S> ClassBuilder &enumProperty(const QString &name, G get, S set, const EnumInfo &info)
    {
        return addEnum<G, S>(name, get, set, info, std::nullopt);
    }
    template <class G, class S, class D>
    ClassBuilder &enumProperty(const QString &name, G get, S set, const EnumInfo &info, D def)
    {
        return addEnum<G, S>(name, get, set, info, qint64(def));
    }

    // A set stored as `[Name1, Name2]`; the getter returns a mask (an
    // integer or a QFlags) with bit (1 << value) for each member.
    template <class G, class S> ClassBuilder &setProperty(const QString &name, G get, S set, const EnumInfo &info)
    {
        return addSet<G, S>(name, get, set, info, std::nullopt);
    }
    template <class G, class S, class D>
    ClassBuilder &setProperty(const QString &name, G get, S set, const EnumInfo &info, D def)
    {
        return addSet<G, S>(name, get, set, info, maskOf(def));
    }

    // An integer written by name where it has one (clWhite), else as a number.
    template <class G, class S> ClassBuilder &namedIntProperty(const QString &name, G get, S set, const EnumInfo &names)
    {
        return addNamedInt<G, S>(name, get, set, names, std::nullopt);
    }
    template <class G, class S, class D>
    ClassBuilder &namedIntProperty(const QString &name, G get, S set, const EnumInfo &names, D def)
    {
        return addNamedInt<G, S>(name, get, set, names, qint64(def));
    }

    // A list of exactly `count` numbers, always written (`Values`).
    // get(const T&) -> std::vector<double>; set(T&, const std::vector<double>&).
    template <class G, class S> ClassBuilder &floatList(const QString &name, std::size_t count, G get, S set)
    {
        auto &p = add(name, PropertyInfo::Kind::Value);
        p.check = [count](const Value &v) { detail::toFloatList(v, count); };
        p.set = [set, count](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), detail::toFloatList(v, count)); };
        p.get = [get](void *o) { return detail::fromFloatList(std::invoke(get, *static_cast<const T *>(o))); };
        return *this;
    }

    // A property with its own reading and writing (e.g. `FontSize`), always
    // written unless storedWhen says otherwise. read may throw ValueError;
    // check (optional) validates a value without an object.
    ClassBuilder &custom(const QString &name, std::function<Value(const T &)> write,
                         std::function<void(T &, const Value &)> read,
                         std::function<void(const Value &)> check = {})
    {
        auto &p = add(name, PropertyInfo::Kind::Value);
        p.check = std::move(check);
        p.set = [read = std::move(read)](void *o, const Value &v) { read(*static_cast<T *>(o), v); };
        p.get = [write = std::move(write)](void *o) { return write(*static_cast<const T *>(o)); };
        return *this;
    }

    // A sub-object reached through `get(T&)` (returning S* or S&); its
    // properties are written and read as `Name.Property`.
    template <class S, class G> ClassBuilder &subObject(const QString &name, G get)
    {
        auto &p = add(name, PropertyInfo::Kind::SubObject);
        p.subType = std::type_index(typeid(S));
        p.sub = [get](void *o) -> void * {
            decltype(auto) r = std::invoke(get, *static_cast<T *>(o));
            if constexpr (std::is_pointer_v<std::decay_t<decltype(r)>>)
                return static_cast<void *>(static_cast<S *>(r));
            else
                return static_cast<void *>(static_cast<S *>(&r));
        };
        return *this;
    }

    // A reference to another object of the description, by its name;
    // get(const T&) -> R*, set(T&, R*). Not written while null.
    template <class R, class G, class S> ClassBuilder &reference(const QString &name, G get, S set)
    {
        auto &p = add(name, PropertyInfo::Kind::Reference);
        p.refType = std::type_index(typeid(R));
        return addReference<R>(p, get, set);
    }

    // The last property (a value, sub-object or reference) is written only
    // while pred(const T&) holds (a band's Font only without ParentFont).
    template <class P> ClassBuilder &storedWhen(P pred)
    {
        m_info.m_props.back()->stored = [pred](void *o) { return bool(std::invoke(pred, *static_cast<const T *>(o))); };
        return *this;
    }

private:
    PropertyInfo &add(const QString &name, PropertyInfo::Kind kind);

    template <class D> static quint64 maskOf(D d)
    {
        if constexpr (detail::IsQFlags<D>::value)
            return quint64(d.toInt());
        else
            return quint64(d);
    }

    template <class G, class S, class V>
    ClassBuilder &addValue(const QString &name, G get, S set, std::optional<V> def);
    template <class G, class S> ClassBuilder &addEnum(const QString &name, G get, S set, const EnumInfo &info, std::optional<qint64> def);
    template <class G, class S> ClassBuilder &addSet(const QString &name, G get, S set, const EnumInfo &info, std::optional<quint64> def);
    template <class G, class S> ClassBuilder &addNamedInt(const QString &name, G get, S set, const EnumInfo &names, std::optional<qint64> def);
    template <class R, class G, class S> ClassBuilder &addReference(PropertyInfo &p, G get, S set);

    Registry &m_registry;
    ClassInfo &m_info;
};

class Registry {
public:
    Registry();
    ~Registry();
    Registry(const Registry &) = delete;
    Registry &operator=(const Registry &) = delete;

    // The process-wide registry the program's classes register with.
    static Registry &global();

    // Registers T under `storedName` (e.g. "TRpLabel"), inheriting the
    // properties and hooks of Base (registered before or after). Registering
    // the same name again throws std::logic_error.
    template <class T, class Base = void> ClassBuilder<T> addClass(const QString &storedName);

    const ClassInfo *find(QStringView storedName) const; // case-insensitive
    const ClassInfo *find(std::type_index type) const;
    template <class T> const ClassInfo *classOf() const { return find(std::type_index(typeid(T))); }

    // The object with its most derived registered class (for polymorphic T
    // the dynamic type decides). Null for a null pointer or an unregistered type.
    template <class T> ObjectRef ref(T *obj) const;
    template <class T> std::vector<ObjectRef> refs(const std::vector<T *> &objs) const
    {
        std::vector<ObjectRef> out;
        out.reserve(objs.size());
        for (T *o : objs)
            if (ObjectRef r = ref(o))
                out.push_back(r);
        return out;
    }

private:
    ClassInfo &newClass(const QString &storedName, std::type_index type);

    std::vector<std::unique_ptr<ClassInfo>> m_classes;
    QHash<QString, ClassInfo *> m_byName; // lower-case stored name
    std::unordered_map<std::type_index, ClassInfo *> m_byType;
};

// ---------------------------------------------------------------------------
// Implementation of the templates.

template <class U> U *ObjectRef::as() const
{
    if (!ptr || !cls)
        return nullptr;
    if (const ClassInfo *target = cls->registry().template classOf<U>())
        return static_cast<U *>(cls->castTo(ptr, target));
    if constexpr (std::is_base_of_v<QObject, U>)
        return dynamic_cast<U *>(cls->toQObject(ptr));
    return nullptr;
}

template <class T> ObjectRef Registry::ref(T *obj) const
{
    if (!obj)
        return {};
    using Plain = std::remove_cv_t<T>;
    Plain *p = const_cast<Plain *>(obj);
    if constexpr (std::is_polymorphic_v<Plain>) {
        if (const ClassInfo *c = find(std::type_index(typeid(*p))))
            return {dynamic_cast<void *>(p), c};
    }
    if (const ClassInfo *c = classOf<Plain>())
        return {static_cast<void *>(p), c};
    return {};
}

template <class T, class Base> ClassBuilder<T> Registry::addClass(const QString &storedName)
{
    ClassInfo &c = newClass(storedName, std::type_index(typeid(T)));
    if constexpr (!std::is_void_v<Base>) {
        static_assert(std::is_base_of_v<Base, T>, "Base must be a base class of T");
        c.m_parentType = std::type_index(typeid(Base));
        c.m_toParent = [](void *p) -> void * { return static_cast<Base *>(static_cast<T *>(p)); };
    }
    if constexpr (std::is_base_of_v<QObject, T>) {
        c.m_toQObject = [](void *p) -> QObject * { return static_cast<T *>(p); };
        c.m_getName = [](void *p) { return static_cast<T *>(p)->objectName(); };
        c.m_setName = [](void *p, const QString &n) { static_cast<T *>(p)->setObjectName(n); };
    }
    if constexpr (std::is_destructible_v<T>)
        c.m_destroy = [](void *p) { delete static_cast<T *>(p); };
    if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
        c.m_create = [](const CreateContext &) -> void * { return new T(); };
    return ClassBuilder<T>(*this, c);
}

template <class T> PropertyInfo &ClassBuilder<T>::add(const QString &name, PropertyInfo::Kind kind)
{
    for (const auto &p : m_info.m_props)
        if (p->name.compare(name, Qt::CaseInsensitive) == 0)
            throw std::logic_error("property registered twice: " + name.toStdString());
    m_info.m_props.push_back(std::make_unique<PropertyInfo>());
    PropertyInfo &p = *m_info.m_props.back();
    p.name = name;
    p.kind = kind;
    return p;
}

template <class T>
template <class G, class S, class V>
ClassBuilder<T> &ClassBuilder<T>::addValue(const QString &name, G get, S set, std::optional<V> def)
{
    static_assert(!std::is_enum_v<V>, "use enumProperty for an enumeration");
    auto &p = add(name, PropertyInfo::Kind::Value);
    auto getV = [get](void *o) -> V { return std::invoke(get, *static_cast<const T *>(o)); };
    std::function<Value(const V &)> toValue;
    if constexpr (std::is_same_v<V, bool>) {
        p.check = [](const Value &v) { detail::toBool(v); };
        p.set = [set](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), detail::toBool(v)); };
        toValue = [](const V &v) { return Value::fromBool(v); };
    } else if constexpr (std::is_integral_v<V>) {
        constexpr qint64 lo = detail::minOf<V>();
        constexpr qint64 hi = detail::maxOf<V>();
        p.check = [](const Value &v) { detail::toInt(v, lo, hi); };
        p.set = [set](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), V(detail::toInt(v, lo, hi))); };
        toValue = [](const V &v) { return Value::fromInt(qint64(v)); };
    } else if constexpr (std::is_floating_point_v<V>) {
        p.check = [](const Value &v) { detail::checkNumber(v); };
        p.set = [set](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), V(detail::toFloat(v))); };
        toValue = [](const V &v) { return Value::fromFloat(double(v)); };
    } else if constexpr (std::is_same_v<V, QString>) {
        p.check = [](const Value &v) { detail::checkKind(v, Value::Kind::String); };
        p.set = [set](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), v.text()); };
        toValue = [](const V &v) { return Value::fromString(v); };
    } else if constexpr (std::is_same_v<V, QStringList>) {
        p.check = [](const Value &v) { detail::toStringList(v); };
        p.set = [set](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), detail::toStringList(v)); };
        toValue = [](const V &v) { return detail::fromStringList(v); };
    } else if constexpr (std::is_same_v<V, QByteArray>) {
        p.check = [](const Value &v) { detail::checkKind(v, Value::Kind::Binary); };
        p.set = [set](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), v.bytes()); };
        toValue = [](const V &v) { return Value::fromBinary(v); };
    } else {
        static_assert(std::is_same_v<V, bool>, "unsupported property type");
    }
    p.get = [getV, toValue](void *o) { return toValue(getV(o)); };
    if (def)
        p.defaultValue = toValue(*def);
    return *this;
}

template <class T>
template <class G, class S>
ClassBuilder<T> &ClassBuilder<T>::addEnum(const QString &name, G get, S set, const EnumInfo &info, std::optional<qint64> def)
{
    using V = detail::GetResult<T, G>;
    auto shared = std::make_shared<EnumInfo>(info);
    auto &p = add(name, PropertyInfo::Kind::Value);
    p.check = [shared](const Value &v) { detail::toEnum(v, *shared); };
    p.set = [set, shared](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), V(detail::toEnum(v, *shared))); };
    p.get = [get, shared](void *o) { return detail::fromEnum(qint64(std::invoke(get, *static_cast<const T *>(o))), *shared); };
    if (def)
        p.defaultValue = detail::fromEnum(*def, *shared);
    return *this;
}

template <class T>
template <class G, class S>
ClassBuilder<T> &ClassBuilder<T>::addSet(const QString &name, G get, S set, const EnumInfo &info, std::optional<quint64> def)
{
    using V = detail::GetResult<T, G>;
    auto shared = std::make_shared<EnumInfo>(info);
    auto &p = add(name, PropertyInfo::Kind::Value);
    p.check = [shared](const Value &v) { detail::toSet(v, *shared); };
    p.set = [set, shared](void *o, const Value &v) {
        const quint64 mask = detail::toSet(v, *shared);
        if constexpr (detail::IsQFlags<V>::value)
            std::invoke(set, *static_cast<T *>(o), V::fromInt(typename V::Int(mask)));
        else
            std::invoke(set, *static_cast<T *>(o), V(mask));
    };
    p.get = [get, shared](void *o) { return detail::fromSet(maskOf(std::invoke(get, *static_cast<const T *>(o))), *shared); };
    if (def)
        p.defaultValue = detail::fromSet(*def, *shared);
    return *this;
}

template <class T>
template <class R, class G, class S>
ClassBuilder<T> &ClassBuilder<T>::addReference(PropertyInfo &p, G get, S set)
{
    p.getRef = [get](void *o, const Registry &reg) -> ObjectRef {
        return reg.ref(static_cast<R *>(std::invoke(get, *static_cast<const T *>(o))));
    };
    p.setRef = [set](void *o, ObjectRef target) { std::invoke(set, *static_cast<T *>(o), target.template as<R>()); };
    return *this;
}

template <class T>
template <class G, class S>
ClassBuilder<T> &ClassBuilder<T>::addNamedInt(const QString &name, G get, S set, const EnumInfo &names, std::optional<qint64> def)
{
    using V = detail::GetResult<T, G>;
    static_assert(std::is_integral_v<V>, "namedIntProperty needs an integer getter");
    constexpr qint64 lo = detail::minOf<V>();
    constexpr qint64 hi = detail::maxOf<V>();
    auto shared = std::make_shared<EnumInfo>(names);
    auto &p = add(name, PropertyInfo::Kind::Value);
    p.check = [shared](const Value &v) { detail::toNamedInt(v, *shared, lo, hi); };
    p.set = [set, shared](void *o, const Value &v) { std::invoke(set, *static_cast<T *>(o), V(detail::toNamedInt(v, *shared, lo, hi))); };
    p.get = [get, shared](void *o) { return detail::fromNamedInt(qint64(std::invoke(get, *static_cast<const T *>(o))), *shared); };
    if (def)
        p.defaultValue = detail::fromNamedInt(*def, *shared);
    return *this;
}

} // namespace desc
