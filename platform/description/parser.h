// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The syntax of stored descriptions: text to a tree of object blocks holding
// property assignments, with no knowledge of classes. Used by the reader.
#include "platform/description/value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace desc {

struct PropertyNode {
    QStringList path; // `Page.Values` -> {"Page", "Values"}
    Value value;
    int line = 0;
    int column = 0;
};

struct ObjectNode {
    QString name;
    QString className;
    int line = 0;
    int column = 0;
    std::vector<PropertyNode> properties;
    std::vector<std::unique_ptr<ObjectNode>> children;
};

// Parses one outermost object block; throws DescriptionError.
std::unique_ptr<ObjectNode> parseDescription(const QByteArray &text);

} // namespace desc
