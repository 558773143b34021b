// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a description: parse, check everything against the registry, then
// build; on any failure destroy what was built.
#include "platform/description/description.h"
#include "platform/description/parser.h"
#include "platform/description/strings.h"

namespace desc {

DescriptionError::DescriptionError(const QString &message, int line, int column, const QString &reason)
    : RpError(RpErrorKind::DamagedInput, message, RpErrorWhere{QString(), line, column, QString()})
    , m_line(line)
    , m_column(column)
    , m_reason(reason)
{
}

namespace {

[[noreturn]] void fail(int line, int column, const QString &what)
{
    throw DescriptionError(strings::atLine(line, column, what), line, column, what);
}

struct Step {
    const ClassInfo *declaredIn;
    const PropertyInfo *prop;
    const ClassInfo *subClass; // for sub-object steps
};

// The chain of properties a path such as `Frame.Pen.Color` walks, checked
// against the classes alone.
std::vector<Step> resolvePath(const Registry &reg, const ClassInfo *cls, const PropertyNode &p)
{
    std::vector<Step> steps;
    const ClassInfo *cur = cls;
    const QString path = p.path.join(QLatin1Char('.'));
    for (qsizetype i = 0; i < p.path.size(); ++i) {
        const bool last = i + 1 == p.path.size();
        const ClassInfo *decl = nullptr;
        const PropertyInfo *prop = cur->findProperty(p.path[i], &decl);
        if (!prop)
            fail(p.line, p.column, strings::unknownProperty(path, cls->name()));
        if (!last) {
            if (prop->kind != PropertyInfo::Kind::SubObject)
                fail(p.line, p.column, strings::notASubObject(p.path.mid(0, i + 1).join(QLatin1Char('.'))));
            const ClassInfo *sub = reg.find(*prop->subType);
            if (!sub)
                fail(p.line, p.column, strings::unknownProperty(path, cls->name()));
            steps.push_back({decl, prop, sub});
            cur = sub;
        } else {
            if (prop->kind == PropertyInfo::Kind::SubObject)
                fail(p.line, p.column, strings::unknownProperty(path, cls->name()));
            steps.push_back({decl, prop, nullptr});
        }
    }
    return steps;
}

class Reader {
public:
    Reader(const Registry &reg, QObject *owner) : m_reg(reg), m_owner(owner) {}

    // Static checks of a whole block and everything in it.
    void check(const ObjectNode &n, const ClassInfo *cls)
    {
        for (const PropertyNode &p : n.properties) {
            const std::vector<Step> steps = resolvePath(m_reg, cls, p);
            const PropertyInfo *prop = steps.back().prop;
            const QString path = p.path.join(QLatin1Char('.'));
            if (prop->kind == PropertyInfo::Kind::Reference) {
                if (p.value.kind() != Value::Kind::Ident)
                    fail(p.value.line(), p.value.column(),
                         strings::badValue(path, strings::expectedKind(QStringLiteral("a component name"),
                                                                       Value::kindName(p.value.kind()))));
            } else if (prop->check) {
                try {
                    prop->check(p.value);
                } catch (const ValueError &e) {
                    fail(p.value.line(), p.value.column(), strings::badValue(path, e.message()));
                }
            }
        }
        for (const auto &child : n.children) {
            const ClassInfo *ccls = m_reg.find(child->className);
            if (!ccls)
                fail(child->line, child->column, strings::unknownClass(child->className));
            if (!ccls->canCreate())
                fail(child->line, child->column, strings::cannotCreate(ccls->name()));
            if (!cls->hasChildren())
                fail(child->line, child->column, strings::noChildren(cls->name()));
            check(*child, ccls);
        }
    }

    ObjectRef makeRoot(const ObjectNode &n, const ClassInfo *cls)
    {
        CreateContext ctx;
        ctx.owner = m_owner;
        ctx.name = n.name;
        ctx.node = &n;
        void *p = guarded(n.line, n.column, [&] { return cls->create(ctx); });
        if (!p)
            fail(n.line, n.column, strings::cannotCreate(cls->name()));
        ObjectRef r{p, cls};
        m_made.push_back({r, {}, false, &n});
        m_root = r;
        m_rootNode = &n;
        guarded(n.line, n.column, [&] {
            if (!n.name.isEmpty())
                cls->setObjectName(p, n.name);
            cls->beginLoad(p);
        });
        return r;
    }

    void useRoot(const ObjectNode &n, ObjectRef root)
    {
        m_root = root;
        m_rootNode = &n;
        guarded(n.line, n.column, [&] { root.cls->beginLoad(root.ptr); });
    }

    void build(const ObjectNode &n, ObjectRef obj)
    {
        for (const PropertyNode &p : n.properties)
            apply(p, obj);
        for (const auto &child : n.children) {
            const ClassInfo *ccls = m_reg.find(child->className);
            CreateContext ctx;
            ctx.parent = obj;
            ctx.root = m_root;
            ctx.owner = m_owner;
            ctx.name = child->name;
            void *p = guarded(child->line, child->column, [&] { return ccls->create(ctx); });
            if (!p)
                fail(child->line, child->column, strings::cannotCreate(ccls->name()));
            ObjectRef c{p, ccls};
            m_made.push_back({c, obj, false, child.get()});
            guarded(child->line, child->column, [&] {
                if (!child->name.isEmpty())
                    ccls->setObjectName(p, child->name);
                ccls->beginLoad(p);
                obj.cls->addChild(obj.ptr, c);
            });
            m_made.back().attached = true;
            build(*child, c);
        }
    }

    void resolveReferences()
    {
        if (m_refs.empty())
            return;
        // Names are matched without regard to case; the first object read
        // under a name wins.
        QHash<QString, ObjectRef> byName;
        for (const ObjectRef &o : loadedOrder()) {
            const QString key = o.cls->objectName(o.ptr).toLower();
            if (!key.isEmpty() && !byName.contains(key))
                byName.insert(key, o);
        }
        for (const Pending &r : m_refs) {
            const QString &name = r.value->text();
            const ObjectRef target = byName.value(name.toLower());
            if (!target)
                fail(r.value->line(), r.value->column(), strings::unknownComponent(name));
            const ClassInfo *want = m_reg.find(*r.prop->refType);
            if (!want || !target.cls->inherits(want))
                fail(r.value->line(), r.value->column(), strings::wrongComponentClass(name));
            guarded(r.value->line(), r.value->column(), [&] { r.prop->setRef(r.obj, target); });
        }
    }

    void runLoaded()
    {
        if (m_made.empty() || !(m_made.front().obj == m_root))
            guarded(m_rootNode->line, m_rootNode->column, [&] { m_root.cls->loaded(m_root.ptr); });
        for (const Made &m : m_made)
            guarded(m.node->line, m.node->column, [&] { m.obj.cls->loaded(m.obj.ptr); });
    }

    // Destroys what was made, children before their parents.
    void rollback() noexcept
    {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it) {
            try {
                if (it->attached && it->parent)
                    it->parent.cls->removeChild(it->parent.ptr, it->obj);
                it->obj.cls->destroy(it->obj.ptr);
            } catch (...) {
                // Nothing sensible is left to do with an object that
                // refuses to go; the error being reported matters more.
            }
        }
        m_made.clear();
    }

private:
    struct Made {
        ObjectRef obj;
        ObjectRef parent;
        bool attached;
        const ObjectNode *node;
    };
    struct Pending {
        void *obj;
        const PropertyInfo *prop;
        const Value *value;
    };

    std::vector<ObjectRef> loadedOrder() const
    {
        std::vector<ObjectRef> out;
        if (m_made.empty() || !(m_made.front().obj == m_root))
            out.push_back(m_root);
        for (const Made &m : m_made)
            out.push_back(m.obj);
        return out;
    }

    // Runs f, turning a refusal from the object's own code into an error
    // that names the line.
    template <class F> auto guarded(int line, int column, F f) -> decltype(f())
    {
        try {
            return f();
        } catch (const DescriptionError &) {
            throw;
        } catch (const ValueError &e) {
            fail(line, column, e.message());
        } catch (const RpError &e) {
            fail(line, column, e.message());
        } catch (const std::exception &e) {
            fail(line, column, QString::fromLocal8Bit(e.what()));
        }
    }

    void apply(const PropertyNode &p, ObjectRef obj)
    {
        const std::vector<Step> steps = resolvePath(m_reg, obj.cls, p);
        void *cur = obj.ptr;
        const ClassInfo *curCls = obj.cls;
        for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
            void *o = curCls->castTo(cur, steps[i].declaredIn);
            void *sub = guarded(p.line, p.column, [&] { return steps[i].prop->sub(o); });
            if (!sub)
                fail(p.line, p.column, strings::noSubObject(p.path.mid(0, qsizetype(i) + 1).join(QLatin1Char('.'))));
            cur = sub;
            curCls = steps[i].subClass;
        }
        const Step &last = steps.back();
        void *o = curCls->castTo(cur, last.declaredIn);
        if (last.prop->kind == PropertyInfo::Kind::Reference) {
            m_refs.push_back({o, last.prop, &p.value});
            return;
        }
        const QString path = p.path.join(QLatin1Char('.'));
        try {
            last.prop->set(o, p.value);
        } catch (const DescriptionError &) {
            throw;
        } catch (const ValueError &e) {
            fail(p.value.line(), p.value.column(), strings::badValue(path, e.message()));
        } catch (const RpError &e) {
            fail(p.value.line(), p.value.column(), strings::badValue(path, e.message()));
        } catch (const std::exception &e) {
            fail(p.value.line(), p.value.column(), strings::badValue(path, QString::fromLocal8Bit(e.what())));
        }
    }

    const Registry &m_reg;
    QObject *m_owner;
    ObjectRef m_root;
    const ObjectNode *m_rootNode = nullptr;
    std::vector<Made> m_made;
    std::vector<Pending> m_refs;
};

const ClassInfo *rootClass(const Registry &reg, const ObjectNode &n)
{
    const ClassInfo *cls = reg.find(n.className);
    if (!cls)
        fail(n.line, n.column, strings::unknownClass(n.className));
    return cls;
}

} // namespace

ObjectRef read(const Registry &registry, const QByteArray &text, QObject *owner, const ClassInfo *expected)
{
    const std::unique_ptr<ObjectNode> tree = parseDescription(text);
    const ClassInfo *cls = rootClass(registry, *tree);
    if (expected && !cls->inherits(expected))
        fail(tree->line, tree->column, strings::wrongRootClass(cls->name(), expected->name()));
    if (!cls->canCreate())
        fail(tree->line, tree->column, strings::cannotCreate(cls->name()));
    Reader r(registry, owner);
    r.check(*tree, cls);
    try {
        ObjectRef root = r.makeRoot(*tree, cls);
        r.build(*tree, root);
        r.resolveReferences();
        r.runLoaded();
        return root;
    } catch (...) {
        r.rollback();
        throw;
    }
}

void readInto(const Registry &registry, const QByteArray &text, ObjectRef root)
{
    if (!root)
        throw DescriptionError(strings::cannotCreate(QStringLiteral("(none)")), 0, 0);
    const std::unique_ptr<ObjectNode> tree = parseDescription(text);
    const ClassInfo *cls = rootClass(registry, *tree);
    if (!root.cls->inherits(cls))
        fail(tree->line, tree->column, strings::wrongRootClass(cls->name(), root.cls->name()));
    Reader r(registry, nullptr);
    // The object's own class may know more properties than the described one.
    r.check(*tree, root.cls);
    try {
        r.useRoot(*tree, root);
        r.build(*tree, root);
        r.resolveReferences();
        r.runLoaded();
    } catch (...) {
        r.rollback();
        throw;
    }
}

} // namespace desc
