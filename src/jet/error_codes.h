// The error numbers the Access OLE DB provider reports, as signed 32-bit
// values (ADO shows HRESULTs as negative numbers), so that a failure reads
// the same on this engine as on the Windows one. Descriptions are built
// where the error arises, in Spanish.
#pragma once

#include <cstdint>

namespace jet::errc {

// E_FAIL: unspecified failure; the provider uses it for a missing or
// unreadable file, a damaged file, a locked file and most storage failures.
inline constexpr int32_t kUnspecified = -2147467259;  // 0x80004005
// DB_E_ERRORSINCOMMAND: syntax error, unknown column, type mismatch in SQL.
inline constexpr int32_t kSyntax = -2147217900;  // 0x80040E14
// DB_E_NOTABLE: the table named in the statement does not exist.
inline constexpr int32_t kNoTable = -2147217865;  // 0x80040E37
// DB_E_PARAMNOTOPTIONAL: no value given for one or more required parameters.
inline constexpr int32_t kMissingParameter = -2147217904;  // 0x80040E10
// DB_E_INTEGRITYVIOLATION: a duplicate key or a null in a required column.
inline constexpr int32_t kIntegrity = -2147217873;  // 0x80040E2F
// DB_E_CANTCONVERTVALUE / data type mismatch in criteria expression.
inline constexpr int32_t kTypeMismatch = -2147217913;  // 0x80040E07
// DB_E_DATAOVERFLOW: a value does not fit its column.
inline constexpr int32_t kOverflow = -2147217833;  // 0x80040E57
// DB_E_NOTSUPPORTED: the engine does not do this (yet).
inline constexpr int32_t kNotSupported = -2147217837;  // 0x80040E53
// XACT_E_NOTRANSACTION: commit or rollback without a transaction.
inline constexpr int32_t kNoTransaction = -2147168242;  // 0x8004D00E
// A file with a password or an encrypted file.
inline constexpr int32_t kNotAuthorized = -2147217843;  // 0x80040E4D

}  // namespace jet::errc

// Native error numbers of the Access database engine: what ADO tells beside
// the HRESULT (Error.NativeError), finer than the number itself.
namespace jet::native {

// "Could not update; currently locked": another program kept the file
// locked past the lock wait, so the statement read and wrote nothing. The
// number is E_FAIL (kUnspecified); trying again later may succeed.
inline constexpr int32_t kLocked = 3218;

}  // namespace jet::native
