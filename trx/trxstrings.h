// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The XML report document filter's own texts, used verbatim.
namespace trxstrings {

inline constexpr char kName[] = "TRX document (XML)";
inline constexpr char kDescription[] = "TRX document (XML)";
inline constexpr char kExtension[] = "TRX";
inline constexpr char kCreator[] = "TRXDocumentFilter";
inline constexpr char kOrientation[] = "Portrait";
inline constexpr char kXLEncoding[] = "windows-1252";
inline constexpr char kDefaultStylesheet[] = "TXDStylesheet.xsl";

} // namespace trxstrings
