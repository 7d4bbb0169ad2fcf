#pragma once
// The utility layer's message texts. Texts that take a value carry %1 where it goes.

inline constexpr char RsOsWin32Prefix[] = "Win32: %1 (%2)";
inline constexpr char RsOsGetAnsiReplacementChar[] = "Failed to get ANSI replacement character";

// Kernel objects
inline constexpr char RsOsCreateEvent[] = "Failed to create event";
inline constexpr char RsOsCreateMutex[] = "Failed to create mutex";
inline constexpr char RsOsCreateFileMapping[] = "Failed to create FileMapping";
inline constexpr char RsOsCreateFileMappingView[] = "Failed to create FileMappingView";
inline constexpr char RsOsFailedToObtainSize[] = "Failed to obtain size of file";
inline constexpr char RsOsViewNeedsMapping[] =
    "FileMap argument of TOsFileMappingView constructor cannot be nil";
inline constexpr char RsOsInvalidMMFName[] = "Invalid MMF name \"%1\"";
inline constexpr char RsOsInvalidMMFEmpty[] = "The MMF named \"%1\" cannot be created empty";

// Type information
inline constexpr char RsOsRTTIUnknownIdentifier[] = "Unknown identifier '%1'.";
inline constexpr char RsOsRTTIValueOutOfRange[] = "Value out of range (%1).";
inline constexpr char RsOsRTTIOrdinal[] = "ordinal=";
inline constexpr char RsOsRTTINoSetOf[] = "A set of '%1' cannot be made.";
inline constexpr char RsOsRTTIName[] = "Name: ";
inline constexpr char RsOsRTTITypeKind[] = "Type kind: ";
inline constexpr char RsOsRTTITypeInfoAt[] = "Type info: %1";
inline constexpr char RsOsRTTIOrdinalType[] = "Ordinal type: ";
inline constexpr char RsOsRTTIMinValue[] = "Min value: ";
inline constexpr char RsOsRTTIMaxValue[] = "Max value: ";
inline constexpr char RsOsRTTINames[] = "Names: ";
inline constexpr char RsOsRTTIBasedOn[] = "Based on: ";
inline constexpr char RsOsRTTIFloatType[] = "Float type: ";
inline constexpr char RsOsRTTIMaxLen[] = "Max length: ";
inline constexpr char RsOsRTTIElSize[] = "Element size: ";
inline constexpr char RsOsRTTIElType[] = "Element type: ";
inline constexpr char RsOsRTTIElNeedCleanup[] = "Elements need clean up: ";
inline constexpr char RsOsRTTIVarType[] = "Variant type: ";
inline constexpr char RsOsRTTIUnitName[] = "Unit name: ";
inline constexpr char RsOsRTTIClassName[] = "Class name: ";
inline constexpr char RsOsRTTIParent[] = "Parent: ";
inline constexpr char RsOsRTTIPropCount[] = "Property count: ";
inline constexpr char RsOsRTTIMethodKind[] = "Method kind: ";
inline constexpr char RsOsRTTIParamCount[] = "Parameter count: ";
inline constexpr char RsOsRTTIReturnType[] = "Return type: ";
inline constexpr char RsOsRTTIFlags[] = "Flags: ";
inline constexpr char RsOsRTTIGUID[] = "GUID: ";
inline constexpr char RsOsRTTITrueFalse[2][6] = {"False", "True"};
inline constexpr char RsOsDeclarationNotSupported[] = "// Declaration for '%1' not supported.";
