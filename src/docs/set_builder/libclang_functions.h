#pragma once
// The libclang functions the header scanner calls, opened when headers are first scanned instead of
// linked (see platform/posix/shared_library.h): each is a pointer of the same name in namespace korvane.

#include <clang-c/Index.h>

#include <string>

#define KORVANE_LIBCLANG_FUNCTIONS(X)                                                                    \
  X(clang_Cursor_getArgument) X(clang_Cursor_getNumArguments) X(clang_File_isEqual) X(clang_createIndex) \
  X(clang_disposeIndex) X(clang_disposeString) X(clang_disposeTokens) X(clang_disposeTranslationUnit)     \
  X(clang_getCString) X(clang_getCursorExtent) X(clang_getCursorKind) X(clang_getCursorLocation)         \
  X(clang_getCursorSpelling) X(clang_getCursorType) X(clang_getExpansionLocation)                         \
  X(clang_getFileContents) X(clang_getFileName) X(clang_getLocationForOffset) X(clang_getRange)           \
  X(clang_getRangeEnd) X(clang_getRangeStart) X(clang_getResultType) X(clang_getSpellingLocation)         \
  X(clang_getTokenLocation) X(clang_getTokenSpelling) X(clang_getTranslationUnitCursor)                   \
  X(clang_getTypeSpelling) X(clang_isCursorDefinition) X(clang_isFunctionTypeVariadic)                    \
  X(clang_parseTranslationUnit2) X(clang_tokenize) X(clang_visitChildren) X(clang_getCanonicalType)          \
  X(clang_Type_getSizeOf) X(clang_Type_getAlignOf) X(clang_getPointeeType) X(clang_isConstQualifiedType)   \
  X(clang_getFunctionTypeCallingConv) X(clang_getTypedefDeclUnderlyingType) X(clang_getTypeDeclaration)     \
  X(clang_Type_getNamedType) X(clang_getTypedefName) X(clang_getArgType) X(clang_getNumArgTypes)          \
  KORVANE_LIBCLANG_TYPE_FUNCTIONS(X)

// The functions the type scanner adds (type_scan.cpp): record layouts, macros and their values.
#define KORVANE_LIBCLANG_TYPE_FUNCTIONS(X)                                                               \
  X(clang_Type_visitFields) X(clang_Cursor_getOffsetOfField) X(clang_Cursor_isBitField)                  \
  X(clang_isInvalidDeclaration)                                                                           \
  X(clang_getFieldDeclBitWidth) X(clang_getArraySize) X(clang_getArrayElementType)                      \
  X(clang_Cursor_isMacroFunctionLike) X(clang_Cursor_Evaluate) X(clang_EvalResult_getKind)              \
  X(clang_EvalResult_getAsLongLong) X(clang_EvalResult_isUnsignedInt) X(clang_EvalResult_getAsUnsigned) \
  X(clang_EvalResult_getAsStr) X(clang_EvalResult_dispose) X(clang_getEnumConstantDeclValue)            \
  X(clang_getEnumConstantDeclUnsignedValue) X(clang_getEnumDeclIntegerType) X(clang_getCursorUSR)       \
  X(clang_Location_isFromMainFile) X(clang_getCursorSemanticParent) X(clang_getIncludedFile)          \
  X(clang_getInclusions)

namespace korvane {

#define KORVANE_DECLARE_LIBCLANG_FUNCTION(name) extern decltype(&::name) name;
KORVANE_LIBCLANG_FUNCTIONS(KORVANE_DECLARE_LIBCLANG_FUNCTION)
#undef KORVANE_DECLARE_LIBCLANG_FUNCTION

// Opens libclang once and fills every pointer. Empty when they are all there; otherwise why not
// (library missing, a function missing), and no pointer may be called.
std::string OpenLibClang();

}  // namespace korvane
