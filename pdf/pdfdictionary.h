// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small string-to-string map kept as two parallel lists: adding a key
// that is there already appends it again (look-ups find the first one);
// keys are compared without regard to case.
#include <QString>
#include <QStringList>

class PdfDictionary {
public:
    void add(const QString &key, const QString &value)
    {
        m_keys.append(key);
        m_values.append(value);
    }
    // The value of the first key equal to `key`, or an empty string.
    QString value(const QString &key) const
    {
        const qsizetype i = indexOf(key);
        return i < 0 ? QString() : m_values.at(i);
    }
    bool keyExists(const QString &key) const { return indexOf(key) >= 0; }
    void removeKey(const QString &key)
    {
        const qsizetype i = indexOf(key);
        if (i >= 0) {
            m_keys.removeAt(i);
            m_values.removeAt(i);
        }
    }
    QString key(qsizetype index) const { return m_keys.value(index); }
    qsizetype count() const { return m_keys.size(); }
    void clear()
    {
        m_keys.clear();
        m_values.clear();
    }

private:
    qsizetype indexOf(const QString &key) const
    {
        for (qsizetype i = 0; i < m_keys.size(); ++i)
            if (m_keys.at(i).compare(key, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    QStringList m_keys, m_values;
};
