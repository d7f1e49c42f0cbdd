// The ADO constants the data-access layer uses, by their standard names and
// values, so that code written against ADO reads the same here.
#pragma once

#include <cstdint>

namespace ado {

// CursorLocationEnum
inline constexpr int32_t adUseServer = 2;
inline constexpr int32_t adUseClient = 3;

// CursorTypeEnum
inline constexpr int32_t adOpenUnspecified = -1;
inline constexpr int32_t adOpenForwardOnly = 0;
inline constexpr int32_t adOpenKeyset = 1;
inline constexpr int32_t adOpenDynamic = 2;
inline constexpr int32_t adOpenStatic = 3;

// LockTypeEnum
inline constexpr int32_t adLockUnspecified = -1;
inline constexpr int32_t adLockReadOnly = 1;
inline constexpr int32_t adLockPessimistic = 2;
inline constexpr int32_t adLockOptimistic = 3;
inline constexpr int32_t adLockBatchOptimistic = 4;

// CommandTypeEnum
inline constexpr int32_t adCmdUnspecified = -1;
inline constexpr int32_t adCmdText = 1;
inline constexpr int32_t adCmdTable = 2;
inline constexpr int32_t adCmdStoredProc = 4;
inline constexpr int32_t adCmdUnknown = 8;

// ConnectOptionEnum and the "unspecified" options of Open and Execute.
inline constexpr int32_t adConnectUnspecified = -1;
inline constexpr int32_t adOptionUnspecified = -1;

// ParameterDirectionEnum
inline constexpr int32_t adParamUnknown = 0;
inline constexpr int32_t adParamInput = 1;
inline constexpr int32_t adParamOutput = 2;
inline constexpr int32_t adParamInputOutput = 3;
inline constexpr int32_t adParamReturnValue = 4;

// DataTypeEnum (the ones parameters are bound with)
inline constexpr int32_t adEmpty = 0;
inline constexpr int32_t adSmallInt = 2;
inline constexpr int32_t adInteger = 3;
inline constexpr int32_t adSingle = 4;
inline constexpr int32_t adDouble = 5;
inline constexpr int32_t adCurrency = 6;
inline constexpr int32_t adDate = 7;
inline constexpr int32_t adBoolean = 11;
inline constexpr int32_t adVariant = 12;
inline constexpr int32_t adTinyInt = 16;
inline constexpr int32_t adUnsignedTinyInt = 17;
inline constexpr int32_t adBigInt = 20;
inline constexpr int32_t adNumeric = 131;
inline constexpr int32_t adChar = 129;
inline constexpr int32_t adWChar = 130;
inline constexpr int32_t adVarChar = 200;
inline constexpr int32_t adLongVarChar = 201;
inline constexpr int32_t adVarWChar = 202;
inline constexpr int32_t adLongVarWChar = 203;

// ConnectModeEnum (Mode is a mask: read and write are its two low bits)
inline constexpr int32_t adModeUnknown = 0;
inline constexpr int32_t adModeRead = 1;
inline constexpr int32_t adModeWrite = 2;
inline constexpr int32_t adModeReadWrite = 3;

// ADOX AllowNullsEnum (an index's IndexNulls) and SortOrderEnum (an index
// column's SortOrder)
inline constexpr int32_t adIndexNullsAllow = 0;
inline constexpr int32_t adIndexNullsDisallow = 1;
inline constexpr int32_t adIndexNullsIgnore = 2;
inline constexpr int32_t adIndexNullsIgnoreAny = 4;
inline constexpr int32_t adSortAscending = 1;
inline constexpr int32_t adSortDescending = 2;

// SchemaEnum (the schemas Connection::openSchema answers)
inline constexpr int32_t adSchemaTables = 20;

// ObjectStateEnum
inline constexpr int32_t adStateClosed = 0;
inline constexpr int32_t adStateOpen = 1;

// The errors ADO itself raises (not the provider), as the negative numbers
// a program sees (0x800A0000 + the ADO error code).
inline constexpr int32_t adErrInvalidArgument = -2146825287;      // 3001
inline constexpr int32_t adErrNoCurrentRecord = -2146825267;      // 3021
inline constexpr int32_t adErrFeatureNotAvailable = -2146825037;  // 3251
inline constexpr int32_t adErrItemNotFound = -2146825023;         // 3265
inline constexpr int32_t adErrObjectClosed = -2146824584;         // 3704
inline constexpr int32_t adErrObjectOpen = -2146824583;           // 3705
inline constexpr int32_t adErrProviderNotFound = -2146824582;     // 3706
inline constexpr int32_t adErrInvalidConnection = -2146824579;    // 3709

}  // namespace ado
