// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test programs that draw the worksheet faces include this: the faces are
// registered with the font resolver before the tests run, as the programs
// register them at start-up.
#include "faces/worksheetfaces.h"

#include <gtest/gtest.h>

namespace testsupport {

class RegisteredFaces : public testing::Environment {
public:
    void SetUp() override { faces::registerWorksheetFaces(); }
};

inline testing::Environment *const registeredFaces = testing::AddGlobalTestEnvironment(new RegisteredFaces);

} // namespace testsupport
